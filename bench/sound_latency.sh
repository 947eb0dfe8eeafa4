#!/bin/sh
# Sound latency through a PulseAudio null sink: a private sound server in its own runtime
# directory, the benchmark's sound player on it, the sink's monitor read back.
#
# usage: sound_latency.sh <gombocok_bench> <scratch directory>
set -eu
bench=$1
dir=$2
mkdir -p "$dir"
export XDG_RUNTIME_DIR="$dir" HOME="$dir"
pulseaudio -D --exit-idle-time=-1 --system=false -n --use-pid-file=yes \
    --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    --load="module-null-sink sink_name=gbench" >"$dir/pulse.log" 2>&1
stop() { [ -f "$dir/pulse/pid" ] && kill "$(cat "$dir/pulse/pid")" 2>/dev/null || true; }
trap stop EXIT INT TERM
export PULSE_SERVER="unix:$dir/native"
i=0
until pactl info >/dev/null 2>&1; do
    i=$((i + 1))
    [ "$i" -le 50 ] || { echo "sound latency: the sound server did not start" >&2; exit 1; }
    sleep 0.1
done
QT_QPA_PLATFORM=offscreen "$bench" sound gbench.monitor 20 2>"$dir/bench.log"
