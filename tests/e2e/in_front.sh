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

# Fails unless window $1 ($2 in messages) is centred on the screen by its frame's outer size
# (one pixel off for rounding).
expect_centred() {
    # The client's place and size, the frame's extents (left, right, top, bottom), the screen.
    eval "$({ xwininfo -id "$1" && xprop -id "$1" _NET_FRAME_EXTENTS && xdpyinfo; } | awk -F '[:=,x] *' '
        /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
        /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } /^  dimensions:/ { sw = $2; sh = $3 }
        /^_NET_FRAME_EXTENTS.*=/ { l = $2; r = $3; t = $4; b = $5; ext = 1 }
        END { print "ext=" ext, "fx=" x - l, "fy=" y - t, "dx=" x - l - int((sw - w - l - r) / 2),
                    "dy=" y - t - int((sh - h - t - b) / 2) }')"
    [ -n "$ext" ] || fail "$2: the window manager gave no frame extents"
    note "$2: the frame at $fx,$fy, $dx,$dy off the centre"
    [ $((dx * dx)) -le 1 ] && [ $((dy * dy)) -le 1 ] || fail "$2 is not centred by its frame"
}

active_window() {
    xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# *//p' | xargs printf '%d\n'
}

# The Pause button and the clock in the game window's client area (pixels).
button=90x30+568+308
clock=100x30+560+236

# Fails unless the clock runs ($1 running) or stands with the button showing what a click on
# Pause made it show (tovabb.png) ($1 paused); $2 in messages. Leaves the second picture in b.png.
expect_clock() {
    screenshot_window "$board" "$e2e_work/a.png"
    sleep 2.5
    screenshot_window "$board" "$e2e_work/b.png"
    moved=$(region_diff "$e2e_work/a.png" "$e2e_work/b.png" "$clock")
    if [ "$1" = running ]; then
        [ "$moved" -gt 0 ] || fail "$2: the clock stands"
    else
        [ "$moved" -eq 0 ] || fail "$2: the clock went on"
        [ "$(region_diff "$e2e_work/b.png" "$e2e_work/tovabb.png" "$button")" -lt 10 ] ||
            fail "$2: the Pause button does not read \"Tovább\""
        click_at "$board" "$START_X" "$PAUSE_Y"
        expect_clock running "Continue after: $2"
    fi
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
click_at "$board" 100 100
sleep 0.5
click_at "$board" "$START_X" "$OPTIONS_Y"
sleep 0.5
[ "$(active_window)" = "$dialog" ] || fail "Options did not bring the open dialog to the front"
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

# (It ends with the X server.)
xmessage -name other "another application" &
poll 10 eval 'xw=$(xdotool search --onlyvisible --classname other 2>/dev/null | head -n 1) && [ -n "$xw" ]' ||
    fail "the other application's window did not appear"
focus_window "$xw"
sleep 1
focus_window "$board"
sleep 0.5
expect_clock paused "another application in front"

# At damage level 9 one hit ends the game. Start forms the first wave at Top 45, 1545, 3045, 4545
# twips (750 high); the spacecraft starts at Top 2535, its shot leaves at Top + 435, and a key
# moves it 50 twips. It clears the third, second, first and fourth UFO and ends at Top 4535, in
# the fourth UFO's line of fire at level 2.
focus_window "$board"
for moves in "Down 5" "Up 25" "Up 25" "Down 85"; do
    # shellcheck disable=SC2046 # one press at a time: a held key would auto-repeat
    xdotool key --delay 30 $(yes "${moves% *}" | head -n "${moves#* }")
    sleep 0.2
    xdotool key space
    sleep 0.6  # the shot crosses the field before the next
done
question=$(e2e_skip=$board wait_window "" 30) || fail "the spacecraft was not hit"
sleep 1
xdotool getwindowname "$question" | grep -q '^Gombócok$' || fail "the question is not Hungarian"
screenshot_window "$question" "$shots/loss-question.png"
# Alt+I answers "Igen": the new game goes on, and the question taking the focus paused nothing.
focus_window "$question"
xdotool key alt+i
sleep 1
window_visible "$question" && fail "Alt+I did not answer the question: its Yes is not \"Igen\""
expect_clock running "after the loss question"
[ "$(region_diff "$e2e_work/b.png" "$e2e_work/tovabb.png" "$button")" -gt 10 ] ||
    fail "the game paused under its own question"

close_and_wait "$board"
