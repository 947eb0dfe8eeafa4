# Shared by the fault runs (sourced after `name` is set), on top of lib.sh: a copy of the program
# directory, a private X server, a player's way through the title screen to play and out again,
# and a private sound server for runs that need a working audio output.
set -eu
E2E_NAME=$name
. "$(dirname "$0")/lib.sh"

bindir=$1
work=$e2e_work
prog=$work/prog
pulse_pid_file=
faults_cleanup() {
    if [ -n "$pulse_pid_file" ] && [ -f "$pulse_pid_file" ]; then
        ppid_=$(cat "$pulse_pid_file")
        kill "$ppid_" 2>/dev/null || true
        # It removes its own files as it goes: the work directory is removed after it.
        i=0
        while kill -0 "$ppid_" 2>/dev/null && [ "$i" -lt 30 ]; do
            sleep 0.1
            i=$((i + 1))
        done
    fi
    [ -d "$prog" ] && chattr -i "$prog" 2>/dev/null || true
    e2e_cleanup
}
trap faults_cleanup EXIT

say() { note "$*"; }
fail_with_log() { fail "$*; program output: $(cat "$work/gombocok.log" 2>/dev/null)"; }

# The program and its run-time files; settings with sounds on and LF line ends (a save writes
# CRLF, so a save that happened shows in the file).
e2e_copy_program "$bindir" "$prog"
printf 'magyar\n111\n2\n200\n2\n' >"$prog/settings.txt"
e2e_start_x

# Starts the program in its directory; "$@" is put before it (an unshare, an environment).
launch() {
    (cd "$prog" && exec "$@" ./gombocok >"$work/gombocok.log" 2>&1) &
    gpid=$!
}

# The title screen (kept $1 seconds, default 1: a click at once may come before it takes
# input), a click on its picture, the game window; sets `board` to its id.
to_board() {
    title=$(wait_window "") || fail_with_log "no window appeared"
    sleep "${1:-1}"
    geometry=$(xdotool getwindowgeometry --shell "$title" 2>/dev/null) || {
        wait_exit 1 || true
        fail_with_log "the title screen went away (exit code ${status:-none})"
    }
    eval "$geometry"
    click_at "$title" $((WIDTH / 2)) $((HEIGHT / 2))
    board=$(wait_window "$BOARD_NAME") || fail_with_log "the game window did not appear"
}

# Start, a few moves and shots for a while; the program must still run.
play_a_little() {
    click_at "$1" "$START_X" "$START_Y"
    sleep 0.3
    xdotool key --delay 50 Up space Down space Down space Up Up space
    sleep 1
    still_running
}

still_running() {
    if ! kill -0 "$gpid" 2>/dev/null; then
        wait_exit 1 || true
        fail_with_log "the program ended during play with exit code $status"
    fi
}

# Closes the game window by its frame and waits for the program's end (in this shell, which
# must reap it); sets `status` to its exit code.
close_and_wait() {
    focus_window "$1"
    xdotool key alt+F4
    wait_exit 15 || fail_with_log "the program did not end"
}

# A private sound server with a null sink.
start_sound_server() {
    pdir=$work/pulse
    mkdir -p "$pdir"
    chmod 700 "$pdir"
    XDG_RUNTIME_DIR=$pdir HOME=$pdir pulseaudio -D --exit-idle-time=-1 --system=false -n \
        --use-pid-file=yes \
        --load="module-native-protocol-unix socket=$pdir/native auth-anonymous=1" \
        --load="module-null-sink sink_name=faults" >"$work/pulse.log" 2>&1 ||
        fail "the sound server did not start: $(cat "$work/pulse.log")"
    pulse_pid_file=$pdir/pulse/pid
    export PULSE_SERVER="unix:$pdir/native"
    i=0
    until pactl info >/dev/null 2>&1; do
        i=$((i + 1))
        [ "$i" -le 50 ] || fail "the sound server does not answer"
        sleep 0.1
    done
}

# A WAV header on stdout: format tag $1 (1 PCM, 3 float), channels $2, rate $3, bits $4, and a
# data chunk of $5 bytes (its bytes are for the caller to append).
wav_header() {
    # POSIX sh has no local variables: these names are the helper's own.
    wav_le() {
        wav_v=$1 wav_n=$2 wav_out=
        while [ "$wav_n" -gt 0 ]; do
            wav_out="$wav_out$(printf '\\%03o' $((wav_v & 255)))"
            wav_v=$((wav_v >> 8)) wav_n=$((wav_n - 1))
        done
        printf "$wav_out"
    }
    wav_block=$(($2 * $4 / 8))
    printf 'RIFF'; wav_le $((36 + $5)) 4; printf 'WAVEfmt '; wav_le 16 4
    wav_le "$1" 2; wav_le "$2" 2; wav_le "$3" 4; wav_le $(($3 * wav_block)) 4
    wav_le "$wav_block" 2; wav_le "$4" 2
    printf 'data'; wav_le "$5" 4
}

# Peak resident memory of the program, in MB.
peak_mb() {
    awk '/^VmHWM:/ { print int($2 / 1024) }' "/proc/$gpid/status"
}

# Fails when the program's peak memory has passed 200 MB.
memory_within_bounds() {
    peak=$(peak_mb)
    [ "$peak" -lt 200 ] || fail_with_log "peak memory $peak MB"
}
