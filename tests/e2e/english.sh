#!/bin/sh
# An English settings file with the background music off: the title screen moves on by itself
# after 18 seconds (the game window shows up between 17 and 20 s after the title screen, with no
# click), the game window's title begins with "Dumplers", and its four buttons read Start, Pause,
# Options and Quit. The captions are checked on the screen: the button column is compared with a
# reference picture of the real program's English buttons (ref/buttons-en.png); a mismatch leaves
# both pictures in the screenshot directory to look at.
#
# usage: english.sh <program directory> <screenshot directory>
set -eu
E2E_NAME="e2e english"
. "$(dirname "$0")/lib.sh"

bindir=$1
shots=$2/english
ref=$(dirname "$0")/ref/buttons-en.png
work=$e2e_work/prog
e2e_copy_program "$bindir" "$work"
printf 'english\r\n101\r\n2\r\n200\r\n2\r\n' >"$work/settings.txt"

e2e_start_x
e2e_run "$work" "$e2e_work/gombocok.log"
title=$(wait_window "") || fail "no window appeared: $(cat "$e2e_work/gombocok.log")"
shown=$(date +%s.%N)
# The title screen bears the title in the interface language.
if [ "$(xdotool getwindowname "$title")" != Dumplers ]; then
    fail "the first window is not the title screen Dumplers: $(xdotool getwindowname "$title" | tr -s ' ')"
fi
sleep 1
screenshot_window "$title" "$shots/title.png"

board=$(wait_window '^Dumplers  ' 25) || fail "the game window did not come by itself"
after=$(echo "$(date +%s.%N) - $shown" | bc)
window_visible "$title" && fail "the title screen is still shown next to the game window"
note "game window after ${after} s: $(xdotool getwindowname "$board" | tr -s ' ')"
# Polling adds at most 0.1 s; a window found early or late is a fault of the program.
[ "$(echo "$after >= 17 && $after <= 20" | bc)" -eq 1 ] ||
    fail "the game window came after $after s, not at the 18th second"

sleep 0.5
screenshot_window "$board" "$shots/board.png"
convert "$shots/board.png" -crop 90x150+568+268 +repage "$shots/buttons.png"
[ -f "$ref" ] || fail "no reference picture $ref (the buttons are in $shots/buttons.png)"
differ=$(compare -metric AE -fuzz 10% "$ref" "$shots/buttons.png" null: 2>&1 || true)
[ "$differ" -lt 30 ] 2>/dev/null ||
    fail "the buttons differ from the English reference in $differ pixels: see $shots/buttons.png"
note "the buttons read Start, Pause, Options, Quit (match the reference)"

focus_window "$board"
xdotool key alt+F4
wait_exit 10 || fail "the program did not end when its window was closed"
[ "$status" -eq 0 ] || fail "exit code $status"
