#!/bin/sh
# Takes the README's pictures from the real program under a private X server, played as a player
# would: the title screen, the options dialog in English, the level-2 message, play at level 3
# with a UFO shot in flight, and the game over after the loss question is answered No.
# Run it by hand after a build; look at every picture before committing it.
#
# usage: screenshots.sh <program directory> <output directory>
set -eu
E2E_NAME="screenshots"
. "$(dirname "$0")/../tests/e2e/lib.sh"

bindir=$1
out=$2
mkdir -p "$out"

# Window $1 with the frame the window manager gives it, to $2.
shoot_framed() {
    geometry=$(xwininfo -id "$1" | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF }
        END { printf "%d %d %d %d", w, h, x, y }')
    set -- "$1" "$2" $geometry
    ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    l=0 r=0 t=0 b=0
    if [ -n "$ext" ]; then
        l=${ext%%,*} ext=${ext#*,}
        r=${ext%%,*} ext=${ext#*,}
        t=${ext%%,*} b=${ext#*,}
    fi
    import -window root -crop "$(($3 + l + r))x$(($4 + t + b))+$(($5 - l))+$(($6 - t))" +repage "$2"
    note "$2"
}

# Waits up to 30 seconds for a visible window of the program other than $1 (a message box over
# the game window); prints its id.
wait_other_window() {
    e2e_skip=$1
    wait_window "" 30 || { e2e_skip= && return 1; }
    e2e_skip=
}

# Number of pixels in region $2 (WxH+X+Y) of picture $1 close to the colour $3.
colour_count() {
    convert "$1" -crop "$2" +repage -fuzz 12% -fill black +opaque "$3" -fill white -opaque "$3" \
        -format '%[fx:round(mean*w*h)]' info:
}

# Presses key $1 $2 times, one press at a time (a held key would auto-repeat).
press() {
    [ "$2" -gt 0 ] || return 0
    # shellcheck disable=SC2046
    xdotool key --delay 30 $(yes "$1" | head -n "$2")
    sleep 0.2
}

# One shot, given time to cross the field before the next.
fire() {
    xdotool key space
    sleep 0.6
}

# Clears the first wave after Start, the game window focused: Start forms it at Top 45, 1545,
# 3045, 4545 twips (750 high); the spacecraft starts at Top 2535, its shot leaves at Top + 435,
# and a key moves it 50 twips. It ends at Top 4535, in the fourth UFO's line of fire at level 2.
clear_first_wave() {
    press Down 5; fire      # 2785: the third UFO
    press Up 25; fire       # 1535: the second
    press Up 25; fire       # 285: the first
    press Down 85; fire     # 4535: the fourth
}

# Clears the level-2 wave (Top 45, 1545, 3045, 4545; 60 twips a key) from Top 4535.
clear_level2() {
    fire                    # 4535: the fourth
    press Up 25; fire       # 3035: the third
    press Up 25; fire       # 1535: the second
    press Up 25; fire       # 35: the first
}

start_program() {
    work=$e2e_work/$1
    e2e_copy_program "$bindir" "$work"
    printf "$2" >"$work/settings.txt"
    prog=$work
    launch
    title=$(wait_window "") || fail_with_log "no window"
}

e2e_start_x

# Run 1: English, background music off, damage level 1.
start_program run1 'english\r\n101\r\n1\r\n200\r\n2\r\n'
sleep 2.5
shoot_framed "$title" "$out/title-screen.png"
to_board 0
sleep 0.5
click_at "$board" "$START_X" "$OPTIONS_Y"
dialog=$(wait_window '^Beállítások') || fail "no options dialog"
sleep 0.5
shoot_framed "$dialog" "$out/options-en.png"
click_at "$dialog" 56 276
sleep 0.5
window_visible "$dialog" && fail "the options dialog stayed open after OK"

click_at "$board" "$START_X" "$START_Y"
sleep 0.5
focus_window "$board"
clear_first_wave
sleep 0.5
shoot_framed "$board" "$out/level-2.png"
clear_level2
# Level 3 stands at Top 900, 2400, 3900, 5400: at Top 35 the spacecraft is out of their line of
# fire. Wait for a UFO shot (dark red) in flight.
i=0
while :; do
    i=$((i + 1))
    [ "$i" -le 60 ] || fail "no UFO shot seen at level 3"
    shoot_framed "$board" "$e2e_work/play.png" >/dev/null
    [ "$(colour_count "$e2e_work/play.png" 520x400+20+40 'rgb(192,0,0)')" -gt 20 ] && break
    sleep 0.1
done
cp "$e2e_work/play.png" "$out/in-play.png"
note "$out/in-play.png"
kill "$gpid"
wait "$gpid" 2>/dev/null || true
gpid=

# Run 2: English, damage level 9: the first UFO shot that hits ends the game.
start_program run2 'english\r\n101\r\n9\r\n200\r\n2\r\n'
to_board 0
sleep 0.5
click_at "$board" "$START_X" "$START_Y"
sleep 0.5
focus_window "$board"
clear_first_wave
# At Top 4535 the spacecraft stands in the fourth UFO's line of fire; no more shots.
question=$(wait_other_window "$board") || fail "the spacecraft was not hit"
sleep 0.5
shoot_framed "$question" "$out/loss-question.png"
focus_window "$question"
xdotool key Escape
sleep 1
shoot_framed "$board" "$out/game-over.png"
