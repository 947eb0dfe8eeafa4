#!/bin/sh
# The sound output on a private sound server of either kind with a 48 kHz null sink: the
# benchmark's sound player on it, the sink's monitor read back.
#
# usage: sound_latency.sh <gombocok_bench> <scratch directory> pulse|pipewire <jingle>
set -eu
bench=$1
dir=$2
kind=$3
jingle=$4
server=$(dirname "$0")/../tests/support/sound_server.sh
stop() { "$server" stop "$dir"; }
trap stop EXIT INT TERM
PULSE_SERVER=$("$server" start "$dir" "$kind" gbench)
export PULSE_SERVER XDG_RUNTIME_DIR="$dir"
QT_QPA_PLATFORM=offscreen "$bench" sound "$kind" gbench.monitor 20 "$jingle" 2>"$dir/bench.log" ||
    { cat "$dir/bench.log" >&2; exit 1; }
