#!/bin/sh
# A program directory whose name is not valid UTF-8 (Latin-1 "játék" and a stray byte): the
# program finds its pictures and settings there, saves its settings there at the end, and a
# missing picture is named with the directory's own path.
#
# usage: faults_nonutf8_dir.sh <program directory>
name="faults non-UTF-8 dir"
. "$(dirname "$0")/faults_common.sh"

started=$(date +%s)
odd=$work/$(printf 'j\341t\351k\377')
mv "$prog" "$odd"
prog=$odd

launch env
to_board
play_a_little "$board"
close_and_wait "$board"
[ "$status" -eq 0 ] || fail_with_log "exit code $status"
# The settings were read with LF line ends; the save at the end writes CRLF.
grep -q "$(printf '\r')" "$prog/settings.txt" || fail_with_log "the settings were not saved there"
[ ! -e /settings.txt ] || [ /settings.txt -ot "$prog/gombocok" ] ||
    fail "a settings.txt was written at the root of the file system"
say "played and saved its settings in the odd directory"

rm "$prog/ufo1.gif"
launch env
box=$(wait_window "Gomb" 10) || fail_with_log "no message for the missing picture"
focus_window "$box"
xdotool key Return
wait_exit 10 || fail_with_log "the program did not end"
[ "$status" -eq 1 ] || fail_with_log "exit code $status"
grep -q "cannot load picture file: $prog/ufo1.gif\$" "$work/gombocok.log" ||
    fail_with_log "stderr does not name the file in its directory"
say "a missing ufo1.gif named with the directory's own bytes, exit 1" \
    "(the whole run $(($(date +%s) - started)) s)"
