#!/bin/sh
# A picture file that is there but corrupt: the program says which file it cannot load, on
# stderr and in a box, and ends with a non-zero exit code.
#
# usage: faults_bad_picture.sh <program directory>
name="faults bad picture"
. "$(dirname "$0")/faults_common.sh"

# The spacecraft picture the settings choose is loaded while the program starts.
head -c 4000 /dev/urandom >"$prog/k_urhajo_03.jpg"
launch env
# The box that names the file; closing it ends the program.
box=$(wait_window "Gomb") || fail "no message appeared"
focus_window "$box"
xdotool key Return
wait_exit 15 || fail_with_log "the program did not end"
[ "$status" -ne 0 ] || fail "exit code 0 after a picture failed to load"
grep -q "k_urhajo_03.jpg" "$work/gombocok.log" || fail_with_log "stderr does not name the file"
say "corrupt picture named ($(grep k_urhajo_03 "$work/gombocok.log")), exit code $status"
