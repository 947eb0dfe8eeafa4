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

e2e_copy_program "$1" "$prog" settings

# Fields: locale, arguments (joined by commas), exit status, what standard output and standard
# error show ("-": nothing; "_" stands for a blank). No display of any kind.
version=$(sed -n 's/^project(gombocok VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
while read -r locale args code out err; do
    status=0
    # shellcheck disable=SC2046 # the arguments are words
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES LANG="$locale" \
        "$prog/gombocok" $(echo "$args" | tr , ' ') >"$e2e_work/out" 2>"$e2e_work/err" || status=$?
    [ "$status" -eq "$code" ] || fail "$locale $args: exit status $status, not $code ($(cat "$e2e_work/err"))"
    for stream in "out $out" "err $err"; do
        want=$(echo "${stream#* }" | tr _ ' ') stream=${stream%% *}
        if [ "$want" = - ]; then
            [ ! -s "$e2e_work/$stream" ] || fail "$locale $args: std$stream not empty: $(cat "$e2e_work/$stream")"
        else
            grep -q "$want" "$e2e_work/$stream" || fail "$locale $args: no '$want' in std$stream: $(cat "$e2e_work/$stream")"
        fi
    done
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
rm "$prog/handk.cur"
e2e_start_x
launch env
wait_window "" >/dev/null || fail_with_log "no box for the missing cursor"
grep -q 'handk\.cur' "$e2e_work/gombocok.log" || fail_with_log "handk.cur not named"
kill -TERM "$gpid"
expect_exit 1 "SIGTERM with the fatal box open" 3
note "SIGTERM with the fatal box open: ended, exit code 1"
