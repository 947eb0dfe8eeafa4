#!/bin/sh
# The layers' include rule: a file includes its own folder and the folders below it
# (base <- game, settings <- program <- qt, base <- audio <- qt), game/, settings/ and audio/
# never include each other, and only qt/ includes Qt. Prints every include that breaks it and fails when there is one.
# Usage: include_rule.sh SOURCE_DIR
set -u
root=${1:?usage: include_rule.sh SOURCE_DIR}
cd "$root" || exit 2

allowed() {
    case $1 in
        base) echo "base" ;;
        game) echo "base game" ;;
        settings) echo "base settings" ;;
        program) echo "base game settings program" ;;
        audio) echo "base audio" ;;
        qt) echo "base game settings program audio qt" ;;
    esac
}

bad=0
checked=0
for folder in base game settings program audio qt; do
    ok=$(allowed "$folder")
    for file in $(find "$folder" -name '*.h' -o -name '*.cpp' | sort); do
        checked=$((checked + 1))
        # Project includes: "folder/..."; their folder must be one the layer may use.
        for target in $(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)/.*|\1|p' "$file"); do
            case " $ok " in
                *" $target "*) ;;
                *)
                    echo "$file: includes $target/, which $folder/ may not use" >&2
                    bad=1
                    ;;
            esac
        done
        if [ "$folder" != qt ] &&
            grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
            echo "$file: includes a Qt header outside qt/" >&2
            bad=1
        fi
    done
done
if [ "$checked" -eq 0 ]; then
    echo "no source files found under $root" >&2
    exit 2
fi
[ "$bad" -eq 0 ] && echo "include rule holds for $checked files"
exit "$bad"
