#!/bin/sh
# Picture and cursor files that are no files, or files too large to be a picture of this game:
# each is refused at once like a damaged file (no wait on a FIFO, no endless read of a device),
# named on stderr and in a box, and the program ends with exit code 1.
#
# usage: faults_hostile_picture.sh <program directory>
name="faults hostile picture"
. "$(dirname "$0")/faults_common.sh"

started=$(date +%s)
# $1 the file, $2 what it is made into, "$3..." the command that makes it from the path.
hostile() {
    file=$1 what=$2
    shift 2
    rm -rf "${prog:?}/$file"
    "$@" "$prog/$file"
    launch env
    box=$(wait_window "Gomb" 10) || fail_with_log "$file as $what: no message appeared"
    memory_within_bounds
    focus_window "$box"
    xdotool key Return
    wait_exit 10 || fail_with_log "$file as $what: the program did not end"
    [ "$status" -eq 1 ] || fail_with_log "$file as $what: exit code $status"
    grep -q "cannot load picture file: $prog/$file\$" "$work/gombocok.log" ||
        fail_with_log "$file as $what: stderr does not name it"
    say "$file as $what: named, peak $peak MB, exit 1"
    rm -rf "${prog:?}/$file"
    cp "$bindir/$file" "$prog/$file"
}

link_zero() { ln -s /dev/zero "$1"; }
link_urandom() { ln -s /dev/urandom "$1"; }
# A valid picture with 2 MB after its end: decoders would stop at its end, the size does not.
padded() { { cat "$bindir/$(basename "$1")" && head -c 2000000 /dev/zero; } >"$1"; }

# The cursor is loaded first, then the spacecraft picture the settings choose, then ufo1.gif.
hostile handk.cur "a FIFO" mkfifo
hostile handk.cur "a link to /dev/zero" link_zero
hostile handk.cur "a link to /dev/urandom" link_urandom
hostile k_urhajo_03.jpg "a FIFO" mkfifo
hostile k_urhajo_03.jpg "a 2 MB file" padded
hostile ufo1.gif "a FIFO" mkfifo
hostile ufo1.gif "a directory" mkdir
say "all refused in $(($(date +%s) - started)) s"
