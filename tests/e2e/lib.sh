# Shared helpers for the end-to-end tests of the real program: a private X server with a window
# manager, a copy of the program directory, windows found by the program's pid, screenshots.
# Source it from a POSIX shell script after `set -eu`; set E2E_NAME first (used in messages).
#
# State it keeps in shell variables: e2e_work (temporary directory, removed at exit), e2e_xpid,
# e2e_wmpid, gpid (the program under test), DISPLAY (exported), prog (the program directory
# `launch` starts in), e2e_sound_dir (a private sound server's directory). It reads one the
# script sets: bindir, the build's program directory, for the facts tool beside the program.

E2E_NAME=${E2E_NAME:-e2e}
e2e_work=$(mktemp -d)
e2e_xpid= e2e_wmpid= e2e_sound_dir= gpid=
# The private sound server's script, beside tests/e2e/ (scripts in tests/ source this file too).
e2e_sound_server=$(dirname "$0")/../support/sound_server.sh
[ -f "$e2e_sound_server" ] || e2e_sound_server=$(dirname "$0")/support/sound_server.sh
prog=$e2e_work/prog

e2e_cleanup() {
    # shellcheck disable=SC2086 # an id not set is empty: no word
    kill $gpid 2>/dev/null || true
    # The sound server removes its own files as it goes: the work directory is removed after it.
    [ -z "$e2e_sound_dir" ] || stop_sound_server
    # shellcheck disable=SC2086
    kill $e2e_wmpid $e2e_xpid 2>/dev/null || true
    rm -rf "$e2e_work"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "$E2E_NAME: FAIL: $*" >&2
    exit 1
}

note() {
    echo "$E2E_NAME: $*"
}

# Copies the program and its run-time files (not the tests, nor settings.txt) from $1 into the
# directory $2, so the copy is what an installed program sees.
e2e_copy_program() {
    mkdir -p "$2"
    cp "$1"/gombocok "$1"/*.gif "$1"/*.jpg "$1"/*.cur "$1"/*.wav "$2"/
}

# Runs "$@" every 0.1 s until it succeeds, for at most $1 (whole) seconds; else returns 1.
poll() {
    poll_n=$(($1 * 10))
    shift
    until "$@"; do
        poll_n=$((poll_n - 1))
        [ "$poll_n" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Starts a private Xvfb on a display it chooses itself (so tests can run side by side) and
# openbox on it, which gives windows their frames and lets xdotool activate them.
e2e_start_x() {
    rm -f "$e2e_work/display"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$e2e_work/display" \
        >"$e2e_work/xvfb.log" 2>&1 &
    e2e_xpid=$!
    # The number is complete once its line is: wait for the newline, not the first digit.
    poll 10 eval '[ "$(cat "$e2e_work/display" 2>/dev/null | wc -l)" -ge 1 ]' || fail "no Xvfb: $(cat "$e2e_work/xvfb.log")"
    DISPLAY=":$(head -n 1 "$e2e_work/display")"
    export DISPLAY
    poll 10 eval 'xdpyinfo >/dev/null 2>&1' || fail "display $DISPLAY does not answer"
    # On a loaded machine openbox now and then gives up on a display that has only just come
    # up; a second or third start settles it.
    e2e_wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    for tries in 1 2 3; do
        openbox --sm-disable >"$e2e_work/openbox.log" 2>&1 &
        e2e_wmpid=$!
        poll 10 eval 'e2e_wm_up || ! kill -0 "$e2e_wmpid" 2>/dev/null' || true
        e2e_wm_up && return 0
        kill "$e2e_wmpid" 2>/dev/null || true
        sleep 0.5
    done
    fail "openbox did not start: $(cat "$e2e_work/openbox.log")"
}

# Waits up to $2 seconds (default 15) for a visible window of the program whose name matches
# the grep pattern $1 (empty: any) and that is not $e2e_skip; prints its id. Fails when the
# program has ended.
wait_window() {
    n=0
    limit=$((${2:-15} * 10))
    while [ "$n" -lt "$limit" ]; do
        for w in $(xdotool search --onlyvisible --pid "$gpid" 2>/dev/null); do
            [ "$w" != "${e2e_skip:-}" ] || continue
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

# Whether window $1 is mapped (viewable) now.
window_visible() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'
}

# Waits up to $1 seconds (default 10) for the program to end; sets `status` to its exit code.
wait_exit() {
    poll "${1:-10}" eval '! kill -0 "$gpid" 2>/dev/null' || return 1
    status=0
    wait "$gpid" || status=$?
    gpid=
}

# Fails unless the program ends within $3 seconds (default 10) with exit code $1 ($2 in messages).
expect_exit() {
    wait_exit "${3:-10}" || fail_with_log "$2: the program did not end"
    [ "$status" -eq "$1" ] || fail_with_log "$2: exit code $status, not $1"
}

# Focuses window $1 the way a click on its frame would, so plain `xdotool key` reaches it.
focus_window() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true
}

# Clicks at ($2, $3) pixels in the client area of window $1.
click_at() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Screenshot of the client area of window $1 to $2 (the directory is created).
screenshot_window() {
    mkdir -p "$(dirname "$2")"
    import -window "$1" "$2"
}

# Number of pixels that differ between the regions $3 (WxH+X+Y) of the pictures $1 and $2.
region_diff() {
    convert "$1" -crop "$3" +repage "$e2e_work/region_a.png"
    convert "$2" -crop "$3" +repage "$e2e_work/region_b.png"
    compare -metric AE "$e2e_work/region_a.png" "$e2e_work/region_b.png" null: 2>&1 || true
}

# The game window's name, as a grep pattern: the title, a run of blanks and the maker mark.
BOARD_NAME='^\(Gombócok\|Dumplers\)  '

# Button centres in the game window's client area, in pixels: the buttons stand at Left 8580
# twips, 1215 by 375, with Top 4080 (Start), 4680 (Pause), 5280 (Options), 5880 (Quit).
START_X=612
START_Y=284
PAUSE_Y=324
OPTIONS_Y=364
QUIT_Y=404

fail_with_log() {
    fail "$*; program output: $(cat "$e2e_work/gombocok.log" 2>/dev/null)"
}

# Fails unless file $3 (default: settings.txt in $prog) holds the bytes printf makes of $1 ($2
# in messages).
expect_settings() {
    printf "$1" >"$e2e_work/expected"
    cmp -s "$e2e_work/expected" "${3:-$prog/settings.txt}" ||
        fail "$2: settings $(od -c "${3:-$prog/settings.txt}" 2>&1)"
}

# Starts the program in $prog with its output to $e2e_work/gombocok.log; "$@" is put before it
# (an environment, another user).
launch() {
    (cd "$prog" && exec "$@" ./gombocok >"$e2e_work/gombocok.log" 2>&1) &
    gpid=$!
    # Until it runs the program, the child shell keeps this script's traps: a signal sent then
    # would be taken by the trap and lost.
    poll 10 eval '[ "$(cat "/proc/$gpid/comm" 2>/dev/null)" = gombocok ]' || true
}

# The title screen (kept $1 seconds, default 1: a click at once may come before it takes
# input), a click on its picture, the game window; sets `board` to its id.
to_board() {
    title=$(wait_window "") || fail_with_log "no window appeared"
    sleep "${1:-1}"
    geometry=$(xdotool getwindowgeometry --shell "$title" 2>/dev/null) || fail_with_log "the title screen went away"
    eval "$geometry"
    click_at "$title" $((WIDTH / 2)) $((HEIGHT / 2))
    board=$(wait_window "$BOARD_NAME") || fail_with_log "the game window did not appear"
}

# Start in game window $1, a few moves and shots for a while; the program must still run.
play_a_little() {
    click_at "$1" "$START_X" "$START_Y"
    sleep 0.3
    xdotool key --delay 50 Up space Down space Down space Up Up space
    sleep 1
    kill -0 "$gpid" 2>/dev/null || fail_with_log "the program ended during play"
}

# Answers the message box $1 with Return.
dismiss() {
    focus_window "$1"
    xdotool key Return
}

# Closes window $1 by its frame; the program must end within $2 seconds (default 15) with 0.
close_and_wait() {
    focus_window "$1"
    xdotool key alt+F4
    expect_exit 0 "closed" "${2:-15}"
}

# Fails when the program's peak resident memory has passed 200 MB; sets `peak` (MB).
memory_within_bounds() {
    peak=$(awk '/^VmHWM:/ { print int($2 / 1024) }' "/proc/$gpid/status")
    [ "$peak" -lt 200 ] || fail_with_log "peak memory $peak MB"
}

# A private sound server, $1: pulse (PulseAudio, the default) or pipewire (PipeWire, WirePlumber
# and pipewire-pulse), with a 48 kHz null sink `e2e` as its default; exports PULSE_SERVER.
start_sound_server() {
    e2e_sound_dir=$e2e_work/sound
    PULSE_SERVER=$("$e2e_sound_server" start "$e2e_sound_dir" "${1:-pulse}" e2e) ||
        fail "the sound server did not start"
    export PULSE_SERVER
}

stop_sound_server() {
    "$e2e_sound_server" stop "$e2e_sound_dir"
}

# The sound server's processes (a stopped server is stopped whole).
sound_server_pids() {
    "$e2e_sound_server" pids "$e2e_sound_dir"
}

# A WAV header on stdout: format tag $1 (1 PCM, 3 float), channels $2, rate $3, bits $4, and a
# data chunk of $5 bytes (its bytes are for the caller to append). The program's own writer
# makes it, through the facts tool in the program directory $bindir.
wav_header() {
    "$bindir/gombocok-facts" wav-header "$@"
}

# The settings file the program writes when it finds none, as a printf format (\r\n for each line
# end), from the program's own code through the facts tool in $bindir.
default_settings() {
    "$bindir/gombocok-facts" settings | sed 's/\r$/\\r\\n/' | tr -d '\n'
}
