#!/bin/sh
# The game window and the options dialog under a window manager (openbox), as a player meets
# them: both windows are centred by their outer size, frame included; the dialog belongs to the
# game window (WM_TRANSIENT_FOR) and Options brings it back to the front; a game in play pauses
# (Pause reads "Tovább", the clock stops) when its window is minimised or another application
# takes the focus, and goes on with the button; its own loss question does not pause it, and the
# question's buttons read "Igen" and "Nem". A screenshot of the question is left in the
# screenshot directory.
#
# usage: in_front.sh <program directory> <screenshot directory>
set -eu
E2E_NAME="e2e in_front"
. "$(dirname "$0")/lib.sh"

bindir=$1
shots=$2/in_front
mkdir -p "$shots"
e2e_copy_program "$bindir" "$prog"
# Hungarian, music off, damage level 9: the first UFO shot that hits asks the loss question.
printf 'magyar\r\n101\r\n9\r\n200\r\n2\r\n' >"$prog/settings.txt"

e2e_start_x
screen_w=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1] }')
screen_h=$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[2] }')

# Fails unless window $1 ($2 in messages) is centred on the screen by its frame's outer size.
expect_centred() {
    eval "$(xwininfo -id "$1" | awk '
        /Absolute upper-left X/ { print "cx=" $NF } /Absolute upper-left Y/ { print "cy=" $NF }
        /Width:/ { print "cw=" $NF } /Height:/ { print "ch=" $NF }')"
    ext=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    [ -n "$ext" ] || fail "$2: the window manager gave no frame extents"
    l=${ext%%,*} ext=${ext#*,}
    r=${ext%%,*} ext=${ext#*,}
    t=${ext%%,*} b=${ext#*,}
    fx=$((cx - l)) fy=$((cy - t)) fw=$((cw + l + r)) fh=$((ch + t + b))
    want_x=$(((screen_w - fw) / 2)) want_y=$(((screen_h - fh) / 2))
    note "$2: frame ${fw}x${fh} at $fx,$fy (centred: $want_x,$want_y)"
    [ "$((fx - want_x))" -ge -1 ] && [ "$((fx - want_x))" -le 1 ] &&
        [ "$((fy - want_y))" -ge -1 ] && [ "$((fy - want_y))" -le 1 ] ||
        fail "$2 is not centred by its frame: at $fx,$fy instead of $want_x,$want_y"
}

active_window() {
    xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# *//p' | xargs printf '%d\n'
}

# The Pause button and the clock in the game window's client area (pixels).
button=90x30+568+308
clock=100x30+560+236

# Fails unless the game stands paused: the clock stays put for 2.5 s and the button shows what
# a click on Pause made it show (tovabb.png).
expect_paused() {
    screenshot_window "$board" "$e2e_work/a.png"
    sleep 2.5
    screenshot_window "$board" "$shots/$2.png"
    [ "$(region_diff "$e2e_work/a.png" "$shots/$2.png" "$clock")" -eq 0 ] || fail "$1: the clock went on"
    [ "$(region_diff "$shots/$2.png" "$e2e_work/tovabb.png" "$button")" -lt 10 ] ||
        fail "$1: the Pause button does not read \"Tovább\" (see $shots)"
    note "$1: paused, the button reads \"Tovább\", the clock stands"
}
# Fails unless the clock runs; leaves the second picture in $e2e_work/b.png.
expect_running() {
    screenshot_window "$board" "$e2e_work/a.png"
    sleep 2.5
    screenshot_window "$board" "$e2e_work/b.png"
    [ "$(region_diff "$e2e_work/a.png" "$e2e_work/b.png" "$clock")" -gt 0 ] || fail "$1: the clock stands"
}

launch env
to_board 0
sleep 1
expect_centred "$board" "the game window"

# The options dialog: owned by the game window, centred, and back in front on Options.
click_at "$board" "$START_X" "$OPTIONS_Y"
dialog=$(wait_window '^Beállítások') || fail "no options dialog"
sleep 1
expect_centred "$dialog" "the options dialog"
owner=$(xprop -id "$dialog" WM_TRANSIENT_FOR | sed -n 's/.*# *//p' | xargs printf '%d\n')
[ "$owner" = "$board" ] || fail "the dialog's WM_TRANSIENT_FOR is $owner, not the game window $board"
note "the dialog's WM_TRANSIENT_FOR is the game window"
click_at "$board" 100 100
sleep 0.5
[ "$(active_window)" = "$board" ] || fail "a click on the game window did not activate it"
click_at "$board" "$START_X" "$OPTIONS_Y"
sleep 0.5
[ "$(active_window)" = "$dialog" ] || fail "Options did not bring the open dialog to the front"
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# *//p' | tr -d ',')
top=$(for w in $stacking; do printf '%d\n' "$w"; done | grep -n -x -e "$board" -e "$dialog" |
    tail -n 1 | cut -d: -f2)
[ "$top" = "$dialog" ] || fail "the dialog is not above the game window"
note "Options brought the open dialog to the front"
click_at "$dialog" 56 276
sleep 0.5
window_visible "$dialog" && fail "the options dialog stayed open after OK"

# "Tovább" as a click on Pause shows it, to compare with.
click_at "$board" "$START_X" "$START_Y"
sleep 1
click_at "$board" "$START_X" "$PAUSE_Y"
sleep 0.5
screenshot_window "$board" "$e2e_work/tovabb.png"
click_at "$board" "$START_X" "$PAUSE_Y"
expect_running "after Continue"

xdotool windowminimize --sync "$board"
sleep 1
focus_window "$board"
sleep 0.5
expect_paused "minimised" minimised
click_at "$board" "$START_X" "$PAUSE_Y"
expect_running "Continue after minimising"

xmessage -name other "another application" &
other=$!
i=0
until xw=$(xdotool search --onlyvisible --classname other 2>/dev/null | head -n 1) && [ -n "$xw" ]; do
    i=$((i + 1))
    [ "$i" -le 50 ] || fail "the other application's window did not appear"
    sleep 0.1
done
focus_window "$xw"
sleep 1
focus_window "$board"
sleep 0.5
expect_paused "another application in front" other-application
kill "$other" 2>/dev/null || true
click_at "$board" "$START_X" "$PAUSE_Y"
expect_running "Continue after the other application"

# At damage level 9 one hit ends the game: the spacecraft stays in the line of fire at level 2.
focus_window "$board"
clear_first_wave
question=$(wait_other_window "$board") || fail "the spacecraft was not hit"
sleep 1
xdotool getwindowname "$question" | grep -q '^Gombócok$' || fail "the question is not Hungarian"
screenshot "$shots/loss-question.png"
note "the loss question is open ($shots/loss-question.png)"
# Alt+I answers "Igen": the new game goes on, and the question taking the focus paused nothing.
focus_window "$question"
xdotool key alt+i
sleep 1
window_visible "$question" && fail "Alt+I did not answer the question: its Yes is not \"Igen\""
expect_running "after the loss question"
[ "$(region_diff "$e2e_work/b.png" "$e2e_work/tovabb.png" "$button")" -gt 10 ] ||
    fail "the game paused under its own question"
note "the question's \"Igen\" started a new game, not paused"

close_and_wait "$board"
[ "$status" -eq 0 ] || fail "exit code $status"
