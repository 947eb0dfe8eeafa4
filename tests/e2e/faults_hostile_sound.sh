#!/bin/sh
# Sound files that are no files, or files that would read or grow without end, with a working
# audio output: each is silent, nothing throws, waits or blows up the memory, the window answers
# its close box at once, and a refused file is read only once however often it is played.
#
# usage: faults_hostile_sound.sh <program directory>
name="faults hostile sound"
. "$(dirname "$0")/faults_common.sh"

start_sound_server
started=$(date +%s)

replace() { rm -rf "$prog/$1"; }
replace prgindit.wav && mkdir "$prog/prgindit.wav"                # the jingle: a directory
replace csend.wav && mkfifo "$prog/csend.wav"                     # the title click: a FIFO
replace utkozes.wav && ln -s /dev/zero "$prog/utkozes.wav"
replace tavozas.wav && ln -s /dev/urandom "$prog/tavozas.wav"
replace prgvege.wav && mkfifo "$prog/prgvege.wav"
# The music: a valid 12 MB of 8-bit mono at 1,000 Hz (3 h 20 min), gigabytes once converted.
replace urzaj.wav
{ wav_header 1 1 1000 8 12000000 && head -c 12000000 /dev/zero | tr '\000' '\200'; } \
    >"$prog/urzaj.wav"
# The shot: 100 MB of float samples (sparse), too large to be read at all.
replace uloves.wav
wav_header 3 2 44100 32 104857600 >"$prog/uloves.wav"
truncate -s 104857644 "$prog/uloves.wav"

launch env
to_board 2.5  # the jingle is due two seconds into the title screen
pactl list short sink-inputs | grep -q . || fail_with_log "the program has no sound output"
play_a_little "$board"
# Shots as fast as a player fires, for three seconds.
xdotool key --delay 50 $(i=0; while [ $i -lt 60 ]; do printf 'space '; i=$((i + 1)); done)
still_running
memory_within_bounds
begin=$(date +%s%N)
close_and_wait "$board"
took=$((($(date +%s%N) - begin) / 1000000))
[ "$status" -eq 0 ] || fail_with_log "exit code $status"
[ "$took" -lt 5000 ] || fail "the close box took $took ms"
say "directory, FIFOs, /dev/zero and /dev/urandom links, a 12 MB low-rate WAV, a 100 MB" \
    "float WAV shot 60 times: silent, peak $peak MB, closed in $took ms, exit 0"

# A float WAV is looked at, refused, and remembered: the first shot reads its head (64 KB), sixty
# more do not (they would read 3.9 MB).
replace uloves.wav
wav_header 3 2 44100 32 15000000 >"$prog/uloves.wav"
truncate -s 15000044 "$prog/uloves.wav"
rchar() { awk '/^rchar:/ { print $2 }' "/proc/$gpid/io"; }
launch env
to_board
click_at "$board" "$START_X" "$START_Y"
sleep 0.5
before=$(rchar)
xdotool key space
sleep 0.5
first=$(rchar)
xdotool key --delay 50 $(i=0; while [ $i -lt 60 ]; do printf 'space '; i=$((i + 1)); done)
sleep 0.3
after=$(rchar)
first_kb=$(((first - before) / 1000))
again_kb=$(((after - first) / 1000))
[ "$first_kb" -ge 64 ] || fail_with_log "the first shot read $first_kb KB: its sound was not tried"
[ "$again_kb" -lt 1000 ] || fail_with_log "sixty more shots read $again_kb KB: the file was read again"
still_running
memory_within_bounds
# Quit: the formation departs (/dev/urandom) and the quit jingle starts (a FIFO).
click_at "$board" "$START_X" "$QUIT_Y"
sleep 1
still_running
close_and_wait "$board"
[ "$status" -eq 0 ] || fail_with_log "exit code $status"
say "a 15 MB float WAV: $first_kb KB read at the first shot, $again_kb KB in sixty more; Quit;" \
    "peak $peak MB, exit 0 (the whole run $(($(date +%s) - started)) s)"
