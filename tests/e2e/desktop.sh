#!/bin/sh
# What a desktop and a terminal expect of the real program: --help and --version answer on
# standard output without a display, in the locale's language, and an unknown option is refused
# with exit status 2.
#
# usage: desktop.sh <program directory>
set -eu
E2E_NAME="e2e desktop"
. "$(dirname "$0")/lib.sh"

# Fields: locale, arguments (joined by commas), exit status, what standard output and standard
# error show ("-": nothing; "_" stands for a blank). No display of any kind.
version=$(sed -n 's/^project(gombocok VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
while read -r locale args code out err; do
    status=0
    # shellcheck disable=SC2046 # the arguments are words
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES LANG="$locale" \
        "$1/gombocok" $(echo "$args" | tr , ' ') >"$e2e_work/out" 2>"$e2e_work/err" || status=$?
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

