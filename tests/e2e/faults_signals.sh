#!/bin/sh
# The program asked to end from outside: SIGTERM, SIGINT and SIGHUP after choices confirmed with
# OK in the options dialog save those choices as a normal end does (exit code 0); a signal while
# a message box is open still ends the program and saves; a signal at start-up, with the
# missing-settings box open, writes the defaults; a second signal while the first is still being
# carried out ends the program at once, without a save.
#
# usage: faults_signals.sh <program directory>
name="faults signals"
. "$(dirname "$0")/faults_common.sh"

start_settings='magyar\n111\n2\n200\n2\n'
# A program started in the background of a script begins with SIGINT ignored, and keeps it so;
# a player's terminal gives it the default action, as here.
run_env="env --default-signal=INT"

# Options: spacecraft type 0 (first picture), English (second language button), OK.
choose_options() {
    click_at "$board" "$START_X" "$OPTIONS_Y"
    dialog=$(wait_window '^Beállítások') || fail_with_log "no options dialog"
    sleep 0.5
    click_at "$dialog" 85 109
    sleep 0.2
    click_at "$dialog" 140 192
    sleep 0.2
    click_at "$dialog" 56 276
    sleep 0.5
    window_visible "$dialog" && fail_with_log "the options dialog stayed open after OK"
    return 0
}

for sig in TERM INT HUP; do
    printf "$start_settings" >"$prog/settings.txt"
    launch $run_env
    to_board
    choose_options
    kill -"$sig" "$gpid"
    wait_exit 10 || fail_with_log "SIG$sig: the program did not end"
    [ "$status" -eq 0 ] || fail_with_log "SIG$sig: exit code $status"
    printf 'angol\r\n111\r\n2\r\n200\r\n0\r\n' >"$work/expected"
    cmp -s "$work/expected" "$prog/settings.txt" ||
        fail "SIG$sig: the choices were not saved: $(od -c "$prog/settings.txt")"
    say "SIG$sig after OK: choices saved, exit 0"
done

# A message box open (the ammunition box refuses a letter): the box goes, the end saves.
printf "$start_settings" >"$prog/settings.txt"
launch $run_env
to_board
click_at "$board" "$START_X" "$OPTIONS_Y"
dialog=$(wait_window '^Beállítások') || fail_with_log "no options dialog"
sleep 0.5
# The third tab, then a letter in the ammunition box.
click_at "$dialog" 210 19
sleep 0.3
click_at "$dialog" 320 97
xdotool key x
box=$(wait_window '^Gombócok$' 5) || fail_with_log "no message box for the refused key"
kill -TERM "$gpid"
wait_exit 10 || fail_with_log "SIGTERM with a message box open: the program did not end"
[ "$status" -eq 0 ] || fail_with_log "SIGTERM with a message box open: exit code $status"
grep -q "$(printf '\r')" "$prog/settings.txt" || fail "SIGTERM with a message box open: not saved"
[ "$(wc -l <"$prog/settings.txt")" -eq 5 ] || fail "not a whole file: $(od -c "$prog/settings.txt")"
say "SIGTERM with a message box open: box dismissed, saved, exit 0"

# At start-up, the missing-settings box open: the defaults are written and the program ends.
rm -f "$prog/settings.txt"
launch $run_env
box=$(wait_window '^Gombócok (Dumplers)$') || fail_with_log "no missing-settings box"
kill -HUP "$gpid"
wait_exit 10 || fail_with_log "SIGHUP at start-up: the program did not end"
[ "$status" -eq 0 ] || fail_with_log "SIGHUP at start-up: exit code $status"
printf 'magyar\r\n111\r\n2\r\n200\r\n2\r\n' >"$work/expected"
cmp -s "$work/expected" "$prog/settings.txt" || fail "SIGHUP at start-up: no defaults written"
say "SIGHUP with the missing-settings box open: defaults written, exit 0"

# Two requests at once: the process is stopped, both signals wait, and on resuming the second
# arrives before the first can be carried out; it ends the program by the signal itself.
printf "$start_settings" >"$prog/settings.txt"
launch $run_env
to_board
choose_options
kill -STOP "$gpid"
kill -TERM "$gpid"
kill -INT "$gpid"
kill -CONT "$gpid"
wait_exit 5 || fail_with_log "a second signal did not end the program at once"
# Whichever of the two comes first starts the end; the other ends the process by itself (the
# kernel hands out the lower number first, a sanitizer's own handlers may change the order).
case $status in 130 | 143) ;; *) fail_with_log "a second signal: exit code $status, not 130 or 143" ;; esac
printf "$start_settings" >"$work/expected"
cmp -s "$work/expected" "$prog/settings.txt" || fail "a second signal: the settings were touched"
say "second signal: ended at once by the signal (exit $status), settings untouched"

# A signal in the first moments, before any window: the process ends either by the signal (its
# handlers not yet in place, nothing read) or through the program end; the settings are the old
# file or a whole saved one, and nothing else is written.
for delay in 0 0.05 0.2 0.5; do
    printf "$start_settings" >"$prog/settings.txt"
    before=$(ls -A "$prog")
    launch $run_env
    sleep "$delay"
    kill -TERM "$gpid"
    wait_exit 10 || fail_with_log "SIGTERM after $delay s: the program did not end"
    printf "$start_settings" >"$work/old"
    printf 'magyar\r\n111\r\n2\r\n200\r\n2\r\n' >"$work/saved"
    if cmp -s "$work/old" "$prog/settings.txt"; then
        outcome="left as it was"
    elif cmp -s "$work/saved" "$prog/settings.txt"; then
        outcome="saved"
    else
        fail "SIGTERM after $delay s: the settings are neither old nor saved: $(od -c "$prog/settings.txt")"
    fi
    [ "$(ls -A "$prog")" = "$before" ] || fail "SIGTERM after $delay s: other files: $(ls -A "$prog")"
    case $status in 0 | 143) ;; *) fail_with_log "SIGTERM after $delay s: exit code $status" ;; esac
    say "SIGTERM $delay s after the start: exit $status, settings $outcome"
done
