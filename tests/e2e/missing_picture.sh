#!/bin/sh
# A picture the program loads at start (ufo1.gif) taken from the program directory: the program
# names the file on stderr and in a critical message box, ends with a non-zero exit code after
# the box is dismissed with Return, and leaves settings.txt byte for byte as it was.
#
# usage: missing_picture.sh <program directory> <screenshot directory>
set -eu
E2E_NAME="e2e missing picture"
. "$(dirname "$0")/lib.sh"

bindir=$1
shots=$2/missing_picture
work=$e2e_work/prog
e2e_copy_program "$bindir" "$work"
printf 'english\r\n011\r\n4\r\n007\r\n0\r\n' >"$work/settings.txt"
cp "$work/settings.txt" "$e2e_work/settings.before"
rm "$work/ufo1.gif"

e2e_start_x
e2e_run "$work" "$e2e_work/gombocok.log"
box=$(wait_window "") || fail "no window for the missing picture: $(cat "$e2e_work/gombocok.log")"
sleep 0.5
screenshot "$shots/box.png"
if xdotool getwindowname "$box" | grep -q 'v1\.0'; then
    fail "the game window appeared instead of an error report"
fi
focus_window "$box"
xdotool key Return
wait_exit 10 || fail "the program did not end after the error box"
[ "$status" -ne 0 ] || fail "exit code 0 after a missing picture"
grep -q "ufo1\.gif" "$e2e_work/gombocok.log" ||
    fail "the output does not name ufo1.gif: $(cat "$e2e_work/gombocok.log")"
cmp -s "$e2e_work/settings.before" "$work/settings.txt" ||
    fail "settings.txt changed: $(od -c "$work/settings.txt" 2>&1)"
note "ufo1.gif named ($(head -c 200 "$e2e_work/gombocok.log")), exit code $status, settings.txt intact"
