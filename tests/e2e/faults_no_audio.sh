#!/bin/sh
# No audio device at all, with every sound switched on: the program starts, plays and ends
# normally, silently.
#
# usage: faults_no_audio.sh <program directory>
name="faults no audio"
. "$(dirname "$0")/faults_common.sh"

export PULSE_SERVER=unix:/nonexistent
launch env
to_board
play_a_little "$board"
close_and_wait "$board"
[ "$status" -eq 0 ] || fail "exit code $status"
say "no audio device: played silently, exit 0"
