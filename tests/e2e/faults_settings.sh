#!/bin/sh
# Hostile settings files: one the player may not read (mode 000, as an unprivileged user), a
# directory and a FIFO named settings.txt are each named in a box (not as missing), the game goes
# on with the defaults and the thing is left exactly as it was; a planted settings.txt.tmp link
# is not followed; a settings.txt link gets its target updated; two copies ending at once leave
# one whole file. Nothing but settings.txt (or its link's target) is ever written.
#
# usage: faults_settings.sh <program directory>
name="faults settings"
. "$(dirname "$0")/faults_common.sh"

saved='magyar\r\n111\r\n2\r\n200\r\n2\r\n'

# The names in the program directory with their sizes and kinds, to see that nothing else was
# written.
listing() {
    (cd "$prog" && find . -mindepth 1 -maxdepth 1 ! -name settings.txt -printf '%p %y %s\n' | sort)
}

# The box that names an unreadable settings path, then the game goes on: through the title
# screen to the game window and out by its close box.
expect_unreadable_box() {
    box=$(wait_window '^Gombócok (Dumplers)$' 10) || fail_with_log "$1: no box about the file"
    sleep 0.3
    focus_window "$box"
    xdotool key Return
    to_board
    close_and_wait "$board"
    [ "$status" -eq 0 ] || fail_with_log "$1: exit code $status"
    grep -q "cannot read" "$work/gombocok.log" || fail_with_log "$1: not reported"
    grep -q "missing" "$work/gombocok.log" && fail_with_log "$1: called missing"
    return 0
}

# 1. A directory, 2. a FIFO in place of the file.
for kind in directory fifo; do
    rm -rf "$prog/settings.txt"
    if [ "$kind" = directory ]; then mkdir "$prog/settings.txt"; else mkfifo "$prog/settings.txt"; fi
    before=$(listing)
    launch env
    expect_unreadable_box "$kind"
    if [ "$kind" = directory ]; then
        [ -d "$prog/settings.txt" ] && [ -z "$(ls -A "$prog/settings.txt")" ] || fail "$kind: replaced"
    else
        [ -p "$prog/settings.txt" ] || fail "$kind: replaced"
    fi
    [ "$(listing)" = "$before" ] || fail "$kind: other files written: $(listing)"
    say "settings.txt as a $kind: named in a box, game went on, left as it was"
done
rm -rf "$prog/settings.txt"

# 3. A file the player may not read, as an unprivileged user who owns the directory.
if id nobody >/dev/null 2>&1; then
    printf 'english\r\n010\r\n9\r\n50\r\n0\r\n' >"$prog/settings.txt"
    mkdir -p "$work/home"
    chmod 755 "$work"
    chown -R nobody "$prog" "$work/home"
    chmod 000 "$prog/settings.txt"
    before=$(listing)
    # setpriv, not runuser: it runs the program in its own process, which the window search needs.
    launch setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$work/home"
    expect_unreadable_box "mode 000"
    [ "$(stat -c %a "$prog/settings.txt")" = 0 ] || fail "mode 000: the mode changed"
    printf 'english\r\n010\r\n9\r\n50\r\n0\r\n' >"$work/expected"
    cmp -s "$work/expected" "$prog/settings.txt" || fail "mode 000: the player's file changed"
    [ "$(listing)" = "$before" ] || fail "mode 000: other files written: $(listing)"
    # (The sound library keeps its own files under the home folder; the game keeps none there.)
    [ ! -e "$work/home/.config/gombocok" ] || fail "mode 000: settings written to the player's folder"
    chown -R root "$prog"
    say "settings.txt mode 000 as nobody: named in a box, left untouched"
else
    say "SKIPPED mode 000: no user nobody"
fi

# 4. A planted link named as a temporary file.
printf 'magyar\n111\n2\n200\n2\n' >"$prog/settings.txt"
echo precious >"$work/victim"
ln -s "$work/victim" "$prog/settings.txt.tmp"
before=$(listing)
launch env
to_board
close_and_wait "$board"
[ "$(cat "$work/victim")" = precious ] || fail "the planted link's target was written"
[ -L "$prog/settings.txt.tmp" ] && [ ! -L "$prog/settings.txt" ] || fail "the links were moved"
printf "$saved" >"$work/expected"
cmp -s "$work/expected" "$prog/settings.txt" || fail "not saved beside a planted link"
[ "$(listing)" = "$before" ] || fail "other files written: $(listing)"
rm "$prog/settings.txt.tmp"
say "planted settings.txt.tmp link: not followed, settings saved"

# 5. settings.txt as a link: its target is replaced, the link stays.
mkdir -p "$work/kept"
printf 'magyar\n111\n2\n200\n2\n' >"$work/kept/settings.txt"
rm "$prog/settings.txt"
ln -s ../kept/settings.txt "$prog/settings.txt"
launch env
to_board
close_and_wait "$board"
[ -L "$prog/settings.txt" ] || fail "the settings link was replaced by a file"
cmp -s "$work/expected" "$work/kept/settings.txt" || fail "the link's target was not updated"
[ "$(ls -A "$work/kept")" = settings.txt ] || fail "stray files beside the target: $(ls -A "$work/kept")"
rm "$prog/settings.txt"
say "settings.txt as a link: target updated, link kept"

# 6. Two copies in one directory, ended at the same moment.
printf 'magyar\n111\n2\n200\n2\n' >"$prog/settings.txt"
before=$(listing)
launch env
first=$gpid
wait_window "" >/dev/null || fail_with_log "the first copy showed no window"
launch env
second=$gpid
wait_window "" >/dev/null || fail_with_log "the second copy showed no window"
sleep 1
kill -TERM "$first" "$second"
gpid=$first
wait_exit 10 || fail "the first copy did not end"
gpid=$second
wait_exit 10 || fail "the second copy did not end"
cmp -s "$work/expected" "$prog/settings.txt" || fail "two copies left: $(od -c "$prog/settings.txt")"
[ "$(listing)" = "$before" ] || fail "two copies left other files: $(listing)"
say "two copies ending at once: one whole file, nothing else"
