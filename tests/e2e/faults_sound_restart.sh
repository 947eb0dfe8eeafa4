#!/bin/sh
# The sound server killed and started anew on the same socket under the running program: the
# shots after it are heard again. The mixer lists the game's stream by its name, icon and role,
# paused once the last shot has sounded.
#
# usage: faults_sound_restart.sh <program directory>
name="faults sound restart"
. "$(dirname "$0")/faults_common.sh"

# Fires shots for two seconds while the null sink's monitor is recorded; the loudest sample
# recorded, as a fraction of full scale.
shots_peak() {
    parec --device=faults.monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=10 \
        >"$work/rec.raw" 2>/dev/null &
    rec=$!
    sleep 0.3
    xdotool key --delay 150 space space space space space space space space space space
    sleep 0.3
    kill "$rec"
    wait "$rec" 2>/dev/null || true
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$work/rec.raw" -n stat 2>&1 |
        awk '/^Maximum amplitude/ { print $3 }'
}
loud() { awk -v p="$1" 'BEGIN { exit !(p > 0.05) }'; }

start_sound_server
launch env
to_board
click_at "$board" "$START_X" "$START_Y"
sleep 0.5
before=$(shots_peak)
loud "$before" || fail_with_log "no shot was heard before the restart (peak $before)"
sleep 0.5  # the last shot has sounded: the stream is paused
inputs=$(pactl list sink-inputs)
for prop in 'application.name = "\(Gombócok\|Dumplers\)"' 'application.icon_name = "gombocok"' \
    'media.role = "game"' 'Corked: yes'; do
    echo "$inputs" | grep -q "$prop" || fail "the mixer does not see $prop: $inputs"
done

kill "$(cat "$pulse_pid_file")"
i=0
while [ -f "$pulse_pid_file" ] && [ "$i" -lt 50 ]; do sleep 0.1 && i=$((i + 1)); done
sleep 1
start_sound_server
# The first recording on a server just started loses most of its samples: a second one is whole.
shots_peak >/dev/null
after=$(shots_peak)
still_running
loud "$after" || fail_with_log "no shot was heard after the restart (peak $after)"
close_and_wait "$board"
say "shots heard before (peak $before) and after (peak $after) the server's restart; the mixer" \
    "lists the stream as the game's"
