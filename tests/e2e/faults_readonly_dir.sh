#!/bin/sh
# The program directory cannot be written: the settings save at the end fails, the failure is
# reported on stderr, the old settings file stays as it was and the program still ends with 0.
#
# usage: faults_readonly_dir.sh <program directory>
name="faults readonly dir"
. "$(dirname "$0")/faults_common.sh"

# First without a fault: the end saves, so the file changes (CRLF line ends).
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
# bind mount in a private mount namespace, else the immutable attribute, else a directory in
# the way of the save's temporary file.
if unshare -m sh -c "mount --bind -o ro '$prog' '$prog' && ! touch '$prog/.probe'" 2>/dev/null; then
    how="read-only bind mount"
    launch unshare -m sh -c "mount --bind -o ro '$prog' '$prog' && cd '$prog' && exec \"\$0\""
elif chattr +i "$prog" 2>/dev/null && ! touch "$prog/.probe" 2>/dev/null; then
    how="immutable directory"
    launch env
elif mkdir "$prog/settings.txt.tmp"; then
    how="a directory named as the save's temporary file"
    launch env
else
    echo "$name: SKIPPED: no way to make the directory unwritable here"
    exit 0
fi
say "directory made unwritable by $how"
to_board
play_a_little "$board"
close_and_wait "$board"
chattr -i "$prog" 2>/dev/null || true
[ "$status" -eq 0 ] || fail "exit code $status"
grep -q "settings were not saved" "$work/gombocok.log" || fail_with_log "the failed save was not reported"
cmp -s "$prog/settings.txt" "$work/settings.before" || fail "the old settings file was changed"
say "save refused, reported ($(grep 'not saved' "$work/gombocok.log")), old file intact, exit 0"
