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


# A display number no X server answers on.
free=99
while xdpyinfo -display ":$free" >/dev/null 2>&1; do free=$((free + 1)); done
# Fields: locale, variables set, arguments (each joined by commas; "-": none), the line on
# standard error ("FREE" stands for the display number above). Each run may dump core (ulimit)
# and starts in an empty directory, which must stay empty.
mkdir "$e2e_work/cwd"
while read -r locale vars args line; do
    [ "$vars" != - ] || vars=
    [ "$args" != - ] || args=
    line=$(echo "$line" | sed "s/FREE/$free/g")
    status=0
    # shellcheck disable=SC2046 # the variables and arguments are words
    (cd "$e2e_work/cwd" && { ulimit -c unlimited 2>/dev/null || true; } &&
        exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LC_ALL -u LC_MESSAGES \
            LANG="$locale" $(echo "$vars" | sed "s/FREE/$free/g" | tr , ' ') \
            "$1/gombocok" $(echo "$args" | sed "s/FREE/$free/g" | tr , ' ')) \
        >"$e2e_work/out" 2>"$e2e_work/err" || status=$?
    what="$locale ${vars:-no DISPLAY} $args"
    [ "$status" -eq 1 ] || fail "$what: exit status $status, not 1 ($(cat "$e2e_work/err"))"
    [ "$(cat "$e2e_work/err")" = "$line" ] ||
        fail "$what: standard error is not the one line '$line': $(cat "$e2e_work/err")"
    [ ! -s "$e2e_work/out" ] || fail "$what: standard output not empty: $(cat "$e2e_work/out")"
    [ -z "$(ls -A "$e2e_work/cwd")" ] || fail "$what: left $(ls -A "$e2e_work/cwd")"
done <<EOF
C - - gombocok: cannot open the display (DISPLAY is not set)
hu_HU.UTF-8 - - gombocok: nem nyitható meg a kijelző (a DISPLAY nincs beállítva)
C DISPLAY=:FREE - gombocok: cannot open the display :FREE
C - -display,:FREE gombocok: cannot open the display :FREE
hu_HU.UTF-8 DISPLAY=:FREE -platform,xcb gombocok: nem nyitható meg a kijelző: :FREE
C QT_QPA_PLATFORM=nosuch - gombocok: cannot start the window system platform 'nosuch'
hu_HU.UTF-8 - -platform,nosuch gombocok: nem indítható a(z) „nosuch” grafikus platform
EOF
