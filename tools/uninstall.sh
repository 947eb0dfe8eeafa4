#!/bin/sh
# Removes what `cmake --install` put in place, as listed in the build's install_manifest.txt.
# The player's settings.txt is not in the manifest and stays; the program directory goes only
# when nothing else is left in it.
# Usage: tools/uninstall.sh [MANIFEST | BUILD_DIR]   (default: build/install_manifest.txt)
set -eu
manifest="${1:-build}"
[ -d "$manifest" ] && manifest="$manifest/install_manifest.txt"
if [ ! -f "$manifest" ]; then
    echo "uninstall: $manifest not found (nothing installed from this build?)" >&2
    exit 1
fi
while IFS= read -r path || [ -n "$path" ]; do
    [ -n "$path" ] || continue
    case "$path" in
        */settings.txt) continue ;;
    esac
    if [ -f "$path" ] || [ -L "$path" ]; then
        rm -f -- "$path"
        echo "Removed: $path"
    fi
    dir=$(dirname -- "$path")
    if [ "$(basename -- "$dir")" = gombocok ] && [ -d "$dir" ]; then
        rmdir -- "$dir" 2>/dev/null && echo "Removed: $dir/" || true
    fi
done < "$manifest"
