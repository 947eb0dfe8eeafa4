#!/bin/sh
# Smoke test of the real program: a copy of the program directory runs under a private X server
# with no audio device; the title screen appears, a click moves on to the game window, Start is
# pressed and a few keys go to the spacecraft; closing the game window by its frame ends the
# program with exit code 0. A screenshot of the game window is left in the build tree. Then,
# with the cursor file taken away, the program reports the file and ends with exit code 1.
#
# usage: smoke.sh <program directory> <screenshot file>
set -eu
E2E_NAME="e2e smoke"
. "$(dirname "$0")/lib.sh"

bindir=$1
screenshot=$2
work=$e2e_work/prog

e2e_copy_program "$bindir" "$work" settings
e2e_start_x
e2e_run "$work" "$e2e_work/gombocok.log"

title=$(wait_window "") || fail "no window appeared; program output: $(cat "$e2e_work/gombocok.log")"
note "first window $(xdotool getwindowname "$title")"
# Taskbars name the borderless title screen by its title and match every window of the program
# to its desktop entry by the class (StartupWMClass).
[ "$(xdotool getwindowname "$title")" = "Gombócok" ] || fail "the title screen is not named Gombócok"
xprop -id "$title" WM_CLASS | grep -q '= "gombocok", "gombocok"$' ||
    fail "title screen $(xprop -id "$title" WM_CLASS), expected \"gombocok\", \"gombocok\""
# A click on the title picture moves on to the game window at once.
eval "$(xdotool getwindowgeometry --shell "$title")"
click_at "$title" $((WIDTH / 2)) $((HEIGHT / 2))
board=$(wait_window "$BOARD_NAME") || fail "the game window did not appear"
note "game window $(xdotool getwindowname "$board")"
xprop -id "$board" WM_CLASS | grep -q '= "gombocok", "gombocok"$' ||
    fail "game window $(xprop -id "$board" WM_CLASS), expected \"gombocok\", \"gombocok\""

# Start, then a few keys for the spacecraft (the Start button hands it the keyboard).
click_at "$board" "$START_X" "$START_Y"
sleep 0.5
xdotool key --delay 60 Up Up space Down space
sleep 1.5
screenshot "$screenshot"
kill -0 "$gpid" 2>/dev/null || fail "the program died during play: $(cat "$e2e_work/gombocok.log")"

# The frame's close box: the program ends through its own end and saves the settings.
focus_window "$board"
xdotool key alt+F4
wait_exit 10 || fail "the program did not end after its window was closed"
[ "$status" -eq 0 ] || fail "exit code $status; output: $(cat "$e2e_work/gombocok.log")"
[ -s "$work/settings.txt" ] || fail "settings.txt is gone"
note "ended with exit code 0; screenshot $screenshot"

# A picture file that cannot be loaded: named on stderr and in a box, then exit code 1.
rm "$work/handk.cur"
e2e_run "$work" "$e2e_work/missing.log"
box=$(wait_window "") || fail "no error box for the missing cursor file: $(cat "$e2e_work/missing.log")"
focus_window "$box"
xdotool key Return
wait_exit 10 || fail "the program did not end after the error box"
[ "$status" -eq 1 ] || fail "exit code $status after a missing picture, expected 1"
grep -q "handk.cur" "$e2e_work/missing.log" || fail "stderr does not name the missing file"
note "missing handk.cur reported, exit code 1"
