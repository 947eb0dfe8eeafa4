#!/bin/sh
# A private sound server with a 48 kHz null sink, in a runtime directory of its own: PulseAudio,
# or PipeWire with WirePlumber and its PulseAudio service (pipewire-pulse) in a D-Bus session of
# their own, as the desktops run them. The tests and the bench share it.
#
# usage: sound_server.sh start <directory> pulse|pipewire <sink name>
#            prints the PULSE_SERVER to use; the server's processes form one process group,
#            whose id is left in <directory>/server.pgid
#        sound_server.sh stop <directory>
#        sound_server.sh pids <directory>     the server's processes, one a line
set -eu
what=$1
dir=$2

pids() {
    [ -f "$dir/server.pgid" ] || return 0
    ps -eo pid=,pgid= | awk -v g="$(cat "$dir/server.pgid")" '$2 == g { print $1 }'
}

case $what in
start)
    kind=$3
    sink=$4
    mkdir -p "$dir"
    chmod 700 "$dir"
    rm -f "$dir/server.pgid"
    export XDG_RUNTIME_DIR="$dir" HOME="$dir" XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state"
    export PULSE_SERVER="unix:$dir/pulse/native"
    if [ "$kind" = pulse ]; then
        # setsid: the server's own group, so it is stopped whole and alone.
        setsid sh -c 'echo $$ >"$0/server.pgid"; exec pulseaudio --exit-idle-time=-1 \
            --system=false -n --daemonize=no \
            --load="module-native-protocol-unix socket=$0/pulse/native auth-anonymous=1"' \
            "$dir" >"$dir/server.log" 2>&1 &
    else
        setsid sh -c 'echo $$ >"$0/server.pgid"; exec dbus-run-session -- sh -c \
            "pipewire & sleep 0.3; wireplumber & pipewire-pulse & wait"' "$dir" \
            >"$dir/server.log" 2>&1 &
    fi
    i=0
    until pactl info >/dev/null 2>&1; do
        i=$((i + 1))
        [ "$i" -le 100 ] || { echo "sound server ($kind) did not start: $(cat "$dir/server.log")" >&2; exit 1; }
        sleep 0.1
    done
    pactl load-module module-null-sink "sink_name=$sink" rate=48000 >/dev/null
    i=0
    until pactl info 2>/dev/null | grep -q "^Default Sink: $sink\$"; do
        i=$((i + 1))
        [ "$i" -le 50 ] || { echo "sound server ($kind): $sink is not the default sink" >&2; exit 1; }
        sleep 0.1
    done
    echo "$PULSE_SERVER"
    ;;
stop)
    # A stopped server is let go on first, or it would never take the signal.
    # shellcheck disable=SC2046 # one word per process
    [ -z "$(pids)" ] || kill -CONT $(pids) 2>/dev/null || true
    # shellcheck disable=SC2046
    [ -z "$(pids)" ] || kill $(pids) 2>/dev/null || true
    i=0
    while [ -n "$(pids)" ] && [ "$i" -lt 50 ]; do
        i=$((i + 1))
        sleep 0.1
    done
    rm -f "$dir/server.pgid"
    ;;
pids) pids ;;
*) echo "usage: sound_server.sh start <dir> pulse|pipewire <sink> | stop <dir> | pids <dir>" >&2; exit 2 ;;
esac
