#!/bin/sh
# The Debian package: built with the Debian tools from a copy of the sources (tools/build-deb,
# which fails on any lintian error or warning), then its file list and desktop entry checked.
#
# usage: package.sh <source dir> <work dir> <run-time asset>...
set -eu
E2E_NAME=package
. "$(dirname "$0")/e2e/lib.sh"
src=$1
work=$2
shift 2

"$src/tools/build-deb" "$work"
deb=$(ls "$work"/gombocok_*.deb)

# Every regular file of the package, against the files the layout must give: the program
# directory with every run-time asset and the default settings, the launcher, the desktop
# entry with its icons and metainfo, the manual page and the Debian documents.
dpkg-deb -c "$deb" >"$work/contents"
awk '$1 ~ /^-/ { sub(/^\.\//, "/", $6); print $6 }' "$work/contents" | sort >"$work/files"
{
    printf '%s\n' /usr/games/gombocok /usr/share/man/man6/gombocok.6.gz \
        /usr/share/applications/io.github.gombocok.gombocok.desktop \
        /usr/share/metainfo/io.github.gombocok.gombocok.metainfo.xml \
        /usr/share/doc/gombocok/changelog.gz /usr/share/doc/gombocok/copyright
    for file in gombocok settings.txt "$@"; do echo "/usr/lib/games/gombocok/$file"; done
    for size in 32 48 64 128 256; do echo "/usr/share/icons/hicolor/${size}x$size/apps/gombocok.png"; done
} | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's files differ from the layout (- missing, + extra)"

# Installed by root, readable and not writable by the player: the program directory stays as
# shipped and each player's settings go to their own folder. The two programs are executable.
grep -q '^drwxr-xr-x root/root .* \./usr/lib/games/gombocok/$' "$work/contents" ||
    fail "the program directory is not root's with mode 755"
for exe in ./usr/games/gombocok ./usr/lib/games/gombocok/gombocok; do
    grep -q "^-rwxr-xr-x root/root .* $exe\$" "$work/contents" || fail "$exe is not executable"
done
awk '$2 != "root/root" { bad = 1 } END { exit bad }' "$work/contents" || fail "files not owned by root"

# The desktop entry starts the launcher by its absolute path, whatever the PATH, and is valid.
rm -rf "$work/root"
dpkg-deb -x "$deb" "$work/root"
entry=$work/root/usr/share/applications/io.github.gombocok.gombocok.desktop
grep -qx 'Exec=/usr/games/gombocok' "$entry" || fail "desktop entry: $(grep '^Exec' "$entry")"
desktop-file-validate "$entry" || fail "desktop-file-validate"
# The launcher, followed from where it lies, reaches the program in the program directory.
grep -q 'here/../lib/games/gombocok/gombocok' "$work/root/usr/games/gombocok" ||
    fail "the launcher does not point at /usr/lib/games/gombocok: $(cat "$work/root/usr/games/gombocok")"
echo "package: $(basename "$deb"): lintian clean, $(wc -l <"$work/files") files as laid out"
