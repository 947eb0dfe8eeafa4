#!/bin/sh
# The program directory cannot be written (a system-wide install): the settings live in the
# player's own folder, $XDG_CONFIG_HOME/gombocok. The first start takes the program directory's
# file without a word; an existing copy of the player's rules; with no file anywhere the missing
# box comes and the defaults go to the player's folder, and the next start plays; a player's
# folder that cannot be made is told in a box at the end. The program directory stays as it was
# and every run ends with 0.
#
# usage: faults_readonly_dir.sh <program directory>
name="faults readonly dir"
. "$(dirname "$0")/faults_common.sh"

# First without a fault: the end saves in the program directory (CRLF line ends).
launch env
to_board
close_and_wait "$board"
[ "$status" -eq 0 ] || fail "exit code $status without a fault"
printf 'magyar\n111\n2\n200\n2\n' >"$work/settings.before"
if cmp -s "$prog/settings.txt" "$work/settings.before"; then
    fail "a normal end did not save the settings, so the fault run would prove nothing"
fi
cp "$work/settings.before" "$prog/settings.txt"

# Root writes through file modes, so the directory is made read-only another way: a read-only
# bind mount in a private mount namespace, else the immutable attribute.
if unshare -m sh -c "mount --bind -o ro '$prog' '$prog' && ! touch '$prog/.probe'" 2>/dev/null; then
    how="read-only bind mount"
elif chattr +i "$prog" 2>/dev/null && ! touch "$prog/.probe" 2>/dev/null; then
    chattr -i "$prog"
    how="immutable directory"
else
    echo "$name: SKIPPED: no way to make the directory unwritable here"
    exit 0
fi
say "directory made unwritable by $how"

# Starts the program on the unwritable directory with $1 as its XDG_CONFIG_HOME.
launch_ro() {
    if [ "$how" = "immutable directory" ]; then
        chattr +i "$prog"
        launch env XDG_CONFIG_HOME="$1"
    else
        launch env XDG_CONFIG_HOME="$1" unshare -m sh -c \
            "mount --bind -o ro '$prog' '$prog' && cd '$prog' && exec \"\$0\""
    fi
}
ended() {
    chattr -i "$prog" 2>/dev/null || true
    [ "$status" -eq 0 ] || fail_with_log "$1: exit code $status"
    cmp -s "$prog/settings.txt" "$work/settings.before" || fail "$1: the program's file changed"
}
config=$work/config
own=$config/gombocok/settings.txt

# The first start: no box, play, the choices go to the player's own file.
launch_ro "$config"
to_board
play_a_little "$board"
close_and_wait "$board"
ended "first start"
printf 'magyar\r\n111\r\n2\r\n200\r\n2\r\n' >"$work/expected"
cmp -s "$work/expected" "$own" || fail "first start: the player's file is not the program's: $(od -c "$own" 2>&1)"
[ "$(stat -c %a "$config/gombocok")" = 700 ] || fail "the player's folder is open to others"
say "first start: seeded from the program directory, saved to the player's folder"

# The player's own copy rules.
printf 'english\r\n111\r\n2\r\n200\r\n1\r\n' >"$own"
launch_ro "$config"
title=$(wait_window "") || fail_with_log "no window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$title")"
click_at "$title" $((WIDTH / 2)) $((HEIGHT / 2))
board=$(wait_window "^Dumplers  ") || fail_with_log "the player's English settings were not used"
close_and_wait "$board"
ended "own copy"
printf 'angol\r\n111\r\n2\r\n200\r\n1\r\n' >"$work/expected"
cmp -s "$work/expected" "$own" || fail "own copy: not saved back: $(od -c "$own")"
say "an existing copy of the player's is read and saved"

# No file anywhere: the missing box, the defaults into the player's folder, then a normal start.
rm -rf "$config"
rm "$prog/settings.txt"
launch_ro "$config"
box=$(wait_window '^Gombócok (Dumplers)$') || fail_with_log "no missing-settings box"
sleep 0.3
focus_window "$box"
xdotool key Return
wait_exit 10 || fail_with_log "the program did not end after the missing box"
chattr -i "$prog" 2>/dev/null || true
[ "$status" -eq 0 ] || fail_with_log "no file: exit code $status"
[ ! -e "$prog/settings.txt" ] || fail "no file: written into the program directory"
printf 'magyar\r\n111\r\n2\r\n200\r\n2\r\n' >"$work/expected"
cmp -s "$work/expected" "$own" || fail "no file: no defaults in the player's folder"
launch_ro "$config"
to_board
close_and_wait "$board"
chattr -i "$prog" 2>/dev/null || true
[ "$status" -eq 0 ] || fail_with_log "the start after the missing box: exit code $status"
say "no file anywhere: missing box, defaults in the player's folder, the next start plays"
cp "$work/settings.before" "$prog/settings.txt"

# A player's folder that cannot be made (under the unwritable program directory): the game
# plays, the failed save is shown in a box at the end.
launch_ro "$prog/config"
to_board
close_and_wait_box() {
    focus_window "$board"
    xdotool key alt+F4
    box=$(wait_window '^Gombócok$' 10) || fail_with_log "no box about the failed save"
    sleep 0.3
    focus_window "$box"
    xdotool key Return
    wait_exit 10 || fail_with_log "the program did not end after the failed-save box"
}
close_and_wait_box
ended "unwritable folder"
grep -q "settings were not saved" "$work/gombocok.log" || fail_with_log "the failed save was not reported"
say "unwritable player's folder: the failed save shown in a box ($(grep 'not saved' "$work/gombocok.log"))"
