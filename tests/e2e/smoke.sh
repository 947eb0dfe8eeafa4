#!/bin/sh
# Smoke test of the real program: a copy of the program directory runs under a private X server
# with no audio device; the title screen appears, a click moves on to the game window, Start is
# pressed and a few keys go to the spacecraft; closing the game window by its frame ends the
# program with exit code 0. A screenshot of the game window is left in the build tree. Then,
# with the cursor file taken away, the program reports the file and ends with exit code 1.
#
# usage: smoke.sh <program directory> <screenshot file>
set -eu

bindir=$1
screenshot=$2

work=$(mktemp -d)
xpid=
wmpid=
gpid=
cleanup() {
    [ -n "$gpid" ] && kill "$gpid" 2>/dev/null || true
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null || true
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "e2e smoke: $*" >&2
    exit 1
}

# The program and its run-time files only, so the copy is what an installed program sees.
cp "$bindir"/gombocok "$bindir"/*.gif "$bindir"/*.jpg "$bindir"/*.cur "$bindir"/*.wav \
    "$bindir"/settings.txt "$work"/

display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xpid=$!
export DISPLAY=":$display"
i=0
until xdpyinfo >/dev/null 2>&1; do
    i=$((i + 1))
    [ "$i" -le 100 ] || fail "Xvfb did not start"
    sleep 0.1
done
# A window manager gives the game window its frame, so it can be closed the way a player does.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wmpid=$!
sleep 0.5

# Waits up to 15 s for a visible window of the program whose name matches $1 (a grep pattern;
# empty: any); prints its id.
wait_window() {
    n=0
    while [ "$n" -lt 150 ]; do
        for w in $(xdotool search --onlyvisible --pid "$gpid" 2>/dev/null); do
            if [ -z "$1" ] || xdotool getwindowname "$w" 2>/dev/null | grep -q "$1"; then
                echo "$w"
                return 0
            fi
        done
        kill -0 "$gpid" 2>/dev/null || return 1
        n=$((n + 1))
        sleep 0.1
    done
    return 1
}

cd "$work"
PULSE_SERVER=unix:/nonexistent ./gombocok >"$work/gombocok.log" 2>&1 &
gpid=$!

title=$(wait_window "") || fail "no window appeared; program output: $(cat "$work/gombocok.log")"
echo "e2e smoke: first window $(xdotool getwindowname "$title")"
# A click on the title picture moves on to the game window at once.
eval "$(xdotool getwindowgeometry --shell "$title")"
xdotool mousemove --window "$title" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
board=$(wait_window "Gomb") || fail "the game window did not appear"
echo "e2e smoke: game window $(xdotool getwindowname "$board")"

# Start, then a few keys for the spacecraft (the Start button hands it the keyboard).
# Start sits at (8580, 4080) twips, 1215 by 375, in the client area.
xdotool mousemove --window "$board" $((572 + 40)) $((272 + 12)) click 1
sleep 0.5
xdotool key --delay 60 Up Up space Down space
sleep 1.5
mkdir -p "$(dirname "$screenshot")"
import -window root "$screenshot"
kill -0 "$gpid" 2>/dev/null || fail "the program died during play: $(cat "$work/gombocok.log")"

# The frame's close box: the program ends through its own end and saves the settings.
xdotool windowactivate --sync "$board" 2>/dev/null || true
xdotool key alt+F4
n=0
while kill -0 "$gpid" 2>/dev/null; do
    n=$((n + 1))
    [ "$n" -le 100 ] || fail "the program did not end after its window was closed"
    sleep 0.1
done
status=0
wait "$gpid" || status=$?
gpid=
[ "$status" -eq 0 ] || fail "exit code $status; output: $(cat "$work/gombocok.log")"
[ -s "$work/settings.txt" ] || fail "settings.txt is gone"
echo "e2e smoke: ended with exit code 0; screenshot $screenshot"

# A picture file that cannot be loaded: named on stderr and in a box, then exit code 1.
rm "$work/handk.cur"
PULSE_SERVER=unix:/nonexistent ./gombocok >"$work/missing.log" 2>&1 &
gpid=$!
box=$(wait_window "") || fail "no error box for the missing cursor file: $(cat "$work/missing.log")"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key Return
n=0
while kill -0 "$gpid" 2>/dev/null; do
    n=$((n + 1))
    [ "$n" -le 100 ] || fail "the program did not end after the error box"
    sleep 0.1
done
status=0
wait "$gpid" || status=$?
gpid=
[ "$status" -eq 1 ] || fail "exit code $status after a missing picture, expected 1"
grep -q "handk.cur" "$work/missing.log" || fail "stderr does not name the missing file"
echo "e2e smoke: missing handk.cur reported, exit code 1"
