# Shared by the fault runs (sourced): a copy of the program directory, a private X server with a
# window manager, and the ways a player drives the program. Each test sets `name` first.
set -eu

bindir=$1
work=$(mktemp -d)
prog=$work/prog
xpid=
wmpid=
gpid=
papid_file=
cleanup() {
    [ -n "$gpid" ] && kill "$gpid" 2>/dev/null || true
    [ -n "$papid_file" ] && [ -f "$papid_file" ] && kill "$(cat "$papid_file")" 2>/dev/null || true
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null || true
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
    [ -d "$prog" ] && chattr -i "$prog" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "$name: $*" >&2
    [ -f "$work/gombocok.log" ] && sed 's/^/  program: /' "$work/gombocok.log" >&2
    exit 1
}
say() { echo "$name: $*"; }

# The program and its run-time files; settings with sounds on, LF line ends (a save writes CRLF,
# so a save that happened shows in the file).
mkdir -p "$prog"
cp "$bindir"/gombocok "$bindir"/*.gif "$bindir"/*.jpg "$bindir"/*.cur "$bindir"/*.wav "$prog"/
printf 'magyar\n111\n2\n200\n2\n' >"$prog/settings.txt"

# The server picks a free display itself, so parallel runs never share one.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xpid=$!
i=0
until [ -s "$work/display" ]; do
    i=$((i + 1))
    [ "$i" -le 100 ] || fail "Xvfb did not start"
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wmpid=$!
sleep 0.5

# Starts the program in its directory; "$@" is put before it (an unshare, an environment).
launch() {
    (cd "$prog" && exec "$@" ./gombocok >"$work/gombocok.log" 2>&1) &
    gpid=$!
}

# Waits up to 15 s for a visible window of the program whose name matches $1 (empty: any).
wait_window() {
    n=0
    while [ "$n" -lt 150 ]; do
        for w in $(xdotool search --onlyvisible --pid "$gpid" 2>/dev/null) \
            $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
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

# The title screen (kept $1 seconds, default 1: a click at once may come before it takes
# input), a click on its picture, the game window; sets `board` to its id.
to_board() {
    title=$(wait_window "") || fail "no window appeared"
    sleep "${1:-1}"
    eval "$(xdotool getwindowgeometry --shell "$title")"
    xdotool mousemove --window "$title" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
    board=$(wait_window "Gomb") || fail "the game window did not appear"
}

# Start, a few moves and shots for a while.
play_a_little() {
    xdotool mousemove --window "$1" $((572 + 40)) $((272 + 12)) click 1
    sleep 0.3
    xdotool key --delay 50 Up space Down space Down space Up Up space
    sleep 1
    if ! kill -0 "$gpid" 2>/dev/null; then
        wait_exit
        fail "the program ended during play with exit code $status"
    fi
}

# Closes the game window by its frame and waits for the program's end (not in a subshell: the
# program must be reaped by this shell); sets `status` to its exit code.
close_and_wait() {
    xdotool windowactivate --sync "$1" 2>/dev/null || true
    xdotool key alt+F4
    wait_exit
}

wait_exit() {
    n=0
    while kill -0 "$gpid" 2>/dev/null; do
        n=$((n + 1))
        [ "$n" -le 150 ] || fail "the program did not end"
        sleep 0.1
    done
    status=0
    wait "$gpid" || status=$?
    gpid=
}

# A private sound server with a null sink, for runs that need a working audio output.
start_sound_server() {
    pdir=$work/pulse
    mkdir -p "$pdir"
    chmod 700 "$pdir"
    XDG_RUNTIME_DIR=$pdir HOME=$pdir pulseaudio -D --exit-idle-time=-1 --system=false -n \
        --use-pid-file=yes \
        --load="module-native-protocol-unix socket=$pdir/native auth-anonymous=1" \
        --load="module-null-sink sink_name=faults" >"$work/pulse.log" 2>&1 ||
        fail "the sound server did not start"
    papid_file=$pdir/pulse/pid
    export PULSE_SERVER="unix:$pdir/native"
    i=0
    until pactl info >/dev/null 2>&1; do
        i=$((i + 1))
        [ "$i" -le 50 ] || fail "the sound server does not answer"
        sleep 0.1
    done
}
