#!/bin/sh
# Prints what a screen reader finds of the real program, through AT-SPI: the game window, then
# the options dialog, in the language given ("magyar" or "english"), under a private X server,
# window manager and D-Bus session. Each line is a role and a name, indented by depth; only what
# is showing. Run it by hand after a build (the accessibility packages are on the test: line of
# packages.txt).
#
# usage: accessibility-tree.sh <program directory> [magyar|english]
set -eu
if [ -z "${GOMBOCOK_A11Y_BUS:-}" ]; then
    GOMBOCOK_A11Y_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
E2E_NAME="accessibility tree"
. "$(dirname "$0")/../tests/e2e/lib.sh"

bindir=$1
e2e_copy_program "$bindir" "$prog"
# The default settings in the language asked for.
printf "$(default_settings | sed "s/^[a-z]*/${2:-magyar}/")" >"$prog/settings.txt"
e2e_start_x
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$e2e_work/atspi.log" 2>&1 &
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
launch env
to_board

walk() {
    /usr/bin/python3 - <<'EOF'
import pyatspi

def walk(node, depth):
    states = node.getState()
    if depth > 1 and not states.contains(pyatspi.STATE_SHOWING):
        return
    marks = [s for s, state in (("selected", pyatspi.STATE_SELECTED),
                                ("checked", pyatspi.STATE_CHECKED)) if states.contains(state)]
    print("  " * depth + f"{node.getRoleName()} '{node.name}'", *marks)
    for child in node:
        walk(child, depth + 1)

for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == "gombocok":
        walk(app, 0)
EOF
}
walk
click_at "$board" "$START_X" "$OPTIONS_Y"
wait_window '^Beállítások' >/dev/null || fail_with_log "no options dialog"
sleep 0.5
walk
