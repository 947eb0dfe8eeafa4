#!/bin/sh
# Sound files missing, not a WAV, or cut short, with a working audio output: those sounds are
# silent and play goes on; the program ends normally.
#
# usage: faults_bad_sound.sh <program directory>
name="faults bad sound"
. "$(dirname "$0")/faults_common.sh"

start_sound_server
rm "$prog/uloves.wav"                                    # the shot: missing
echo "not a wave file" >"$prog/prgindit.wav"             # the start-up jingle: not a WAV
cp "$prog/urzaj.wav" "$work/urzaj.wav" &&
    head -c 30 "$work/urzaj.wav" >"$prog/urzaj.wav"      # the music: a header cut short
head -c 100000 /dev/urandom >"$prog/ufoloves.wav"        # UFO fire: noise

launch env
to_board 2.5  # the jingle is due two seconds into the title screen
play_a_little "$board"
xdotool key --delay 30 space space space space Up Up Down Down space
sleep 2
still_running
close_and_wait "$board"
[ "$status" -eq 0 ] || fail "exit code $status"
say "missing, foreign, truncated and noise sound files: played on, exit 0"
