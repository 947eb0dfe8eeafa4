#!/bin/sh
# First start without settings.txt: the two-language message box "Gombócok (Dumplers)" is the
# only window; after OK the file holds the five default lines with CR LF and the program has
# ended with exit code 0.
#
# usage: missing_settings.sh <program directory> <screenshot directory>
set -eu
E2E_NAME="e2e missing settings"
. "$(dirname "$0")/lib.sh"

bindir=$1
shots=$2/missing_settings
work=$e2e_work/prog
e2e_copy_program "$bindir" "$work"

e2e_start_x
e2e_run "$work" "$e2e_work/gombocok.log"
box=$(wait_window "") || fail "no window appeared: $(cat "$e2e_work/gombocok.log")"
name=$(xdotool getwindowname "$box")
[ "$name" = "Gombócok (Dumplers)" ] || fail "the first window is \"$name\", not the message box"
sleep 0.5
count=$(xdotool search --onlyvisible --pid "$gpid" | wc -l)
[ "$count" -eq 1 ] || fail "$count windows shown with the message box"
screenshot "$shots/box.png"
[ ! -e "$work/settings.txt" ] || fail "settings.txt written before the message was confirmed"

focus_window "$box"
xdotool key Return
wait_exit 10 || fail "the program did not end after OK"
[ "$status" -eq 0 ] || fail "exit code $status: $(cat "$e2e_work/gombocok.log")"
printf 'magyar\r\n111\r\n2\r\n200\r\n2\r\n' >"$e2e_work/expected"
cmp -s "$e2e_work/expected" "$work/settings.txt" ||
    fail "settings.txt is not the defaults: $(od -c "$work/settings.txt" 2>&1)"
note "message box, OK, defaults written with CR LF, exit code 0"
