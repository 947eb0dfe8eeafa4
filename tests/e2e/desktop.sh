#!/bin/sh
# What a desktop and a terminal expect of the real program: --help and --version answer on
# standard output without a display, in the locale's language, and an unknown option is refused
# with exit status 2; SIGTERM ends the program while the fatal box of a missing cursor file is
# open, with that failure's exit code.
#
# usage: desktop.sh <program directory>
set -eu
E2E_NAME="e2e desktop"
. "$(dirname "$0")/lib.sh"

bindir=$1
work=$e2e_work
e2e_copy_program "$bindir" "$work/prog" settings

# Runs the program with arguments "$@" and locale $locale, no display of any kind; sets status,
# and leaves standard output and error in $work/out and $work/err.
ask() {
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES LANG="$locale" \
        "$work/prog/gombocok" "$@" >"$work/out" 2>"$work/err" || status=$?
}
# expect <status> <pattern on stdout> <pattern on stderr>: an empty pattern means nothing there.
expect() {
    [ "$status" -eq "$1" ] || fail "$locale $args: exit status $status, not $1 ($(cat "$work/err"))"
    for stream in out err; do
        if [ "$stream" = out ]; then want=$2; else want=$3; fi
        if [ -z "$want" ]; then
            [ ! -s "$work/$stream" ] || fail "$locale $args: std$stream not empty: $(cat "$work/$stream")"
        else
            grep -q "$want" "$work/$stream" || fail "$locale $args: no '$want' in std$stream: $(cat "$work/$stream")"
        fi
    done
}

# Fields: locale, arguments (joined by commas), exit status, what standard output and standard
# error show ("-": nothing; "_" stands for a blank).
version=$(sed -n 's/^project(gombocok VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
while read -r locale args code out err; do
    [ "$out" != - ] || out=
    [ "$err" != - ] || err=
    # shellcheck disable=SC2046 # the arguments are words
    ask $(echo "$args" | tr , ' ')
    expect "$code" "$(echo "$out" | tr _ ' ')" "$(echo "$err" | tr _ ' ')"
done <<EOF
C --help 0 ^Usage:_gombocok -
C -h 0 settings.txt -
hu_HU.UTF-8 --help 0 ^Használat:_gombocok -
C --version 0 ^Dumplers_(gombocok)_$version\$ -
hu_HU.UTF-8 -v 0 ^Gombócok_(gombocok)_$version\$ -
C -x 2 - ^gombocok:_unknown_option:_-x\$
hu_HU.UTF-8 -x 2 - ^gombocok:_ismeretlen_kapcsoló:_-x\$
C -style,fusion,--version 0 $version -
EOF
note "--help, -h, --version, -v and -x answered without a display in both languages"

# The cursor file missing: the fatal box opens at start; the first SIGTERM ends the program.
rm "$work/prog/handk.cur"
e2e_start_x
e2e_run "$work/prog" "$work/gombocok.log"
box=$(wait_window "") || fail "no box for the missing cursor: $(cat "$work/gombocok.log")"
grep -q 'handk\.cur' "$work/gombocok.log" || fail "handk.cur not named: $(cat "$work/gombocok.log")"
kill -TERM "$gpid"
wait_exit 3 || fail "SIGTERM with the fatal box open: still running after 3 s"
[ "$status" -eq 1 ] || fail "SIGTERM with the fatal box open: exit code $status, not 1"
note "SIGTERM with the fatal box open: ended, exit code 1"
