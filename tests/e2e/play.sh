#!/bin/sh
# A Hungarian game as a player sees it: the title screen comes first, a click on it shows the
# game window "Gombócok...", Start begins play, the arrow keys move the spacecraft and Space
# shoots a UFO down (the ammunition and the UFO count on the panel change); Quit sends the
# spacecraft off the field, a second Quit too early does not end the program, a Quit after it
# has left the field ends it with exit code 0, and settings.txt holds the same settings.
#
# usage: play.sh <program directory> <screenshot directory>
set -eu
E2E_NAME="e2e play"
. "$(dirname "$0")/lib.sh"

bindir=$1
shots=$2/play
work=$e2e_work/prog
e2e_copy_program "$bindir" "$work"
# Settings other than the defaults, so that a save of the defaults would show.
printf 'magyar\r\n110\r\n3\r\n150\r\n1\r\n' >"$work/settings.txt"
cp "$work/settings.txt" "$e2e_work/settings.before"

e2e_start_x
e2e_run "$work" "$e2e_work/gombocok.log"

title=$(wait_window "") || fail "no window appeared: $(cat "$e2e_work/gombocok.log")"
if ! xdotool getwindowname "$title" | grep -q "$TITLE_NAME"; then
    fail "the first window is not the title screen: $(xdotool getwindowname "$title" | tr -s ' ')"
fi
sleep 1
screenshot_window "$title" "$shots/1-title.png"
eval "$(xdotool getwindowgeometry --shell "$title")"
click_at "$title" $((WIDTH / 2)) $((HEIGHT / 2))
board=$(wait_window '^Gombócok  ') || fail "no game window titled Gombócok after the click"
sleep 0.5
window_visible "$title" && fail "the title screen is still shown next to the game window"
note "game window: $(xdotool getwindowname "$board" | tr -s ' ')"

# Panel regions in the client area (pixels): ammunition label and bar, UFO count.
ammo=97x17+568+76
ufos=49x29+556+120
field=120x416+7+7

click_at "$board" "$START_X" "$START_Y"
sleep 0.7
screenshot_window "$board" "$shots/2-started.png"
focus_window "$board"
# The wave stands at Top 45, 1545, 3045, 4545 twips, 750 high; the spacecraft at Top 2535, shot
# height Top + 435, step 50. Five steps down put the shot into the third UFO.
xdotool key --delay 50 Down Down Down Down Down
sleep 0.3
xdotool key space
sleep 1
screenshot_window "$board" "$shots/3-shot.png"
kill -0 "$gpid" 2>/dev/null || fail "the program died during play: $(cat "$e2e_work/gombocok.log")"

[ "$(region_diff "$shots/2-started.png" "$shots/3-shot.png" "$field")" -gt 200 ] ||
    fail "the spacecraft did not move (see $shots)"
[ "$(region_diff "$shots/2-started.png" "$shots/3-shot.png" "$ammo")" -gt 10 ] ||
    fail "the ammunition on the panel did not change after Space"
[ "$(region_diff "$shots/2-started.png" "$shots/3-shot.png" "$ufos")" -gt 10 ] ||
    fail "the UFO count did not change: the shot did not hit"
note "the spacecraft moved, fired and hit a UFO"

click_at "$board" "$START_X" "$QUIT_Y"
quit1=$(date +%s)
sleep 2
click_at "$board" "$START_X" "$QUIT_Y"
sleep 1
kill -0 "$gpid" 2>/dev/null || fail "a second Quit before the spacecraft left the field ended the program"
screenshot_window "$board" "$shots/4-quitting.png"
# The spacecraft passes the right edge about 8.9 s after the first Quit.
while [ $(($(date +%s) - quit1)) -lt 11 ]; do sleep 0.5; done
screenshot_window "$board" "$shots/5-left.png"
click_at "$board" "$START_X" "$QUIT_Y"
wait_exit 10 || fail "Quit after the spacecraft had left the field did not end the program"
[ "$status" -eq 0 ] || fail "exit code $status: $(cat "$e2e_work/gombocok.log")"
cmp -s "$e2e_work/settings.before" "$work/settings.txt" ||
    fail "settings.txt changed: $(od -c "$work/settings.txt")"
note "Quit, Quit: exit code 0, settings.txt unchanged"
