#!/bin/sh
# A player's runs of the real program under a private X server, with no audio device:
# 1. The first start without settings.txt: the two-language box "Gombócok (Dumplers)" is the only
#    window; after OK the file holds the five default lines with CR LF, exit code 0.
# 2. A Hungarian game: the title screen "Gombócok" comes first, a click on it shows the game
#    window; both carry the desktop entry's class. Start begins play, the arrow keys move the
#    spacecraft and Space shoots a UFO down (the ammunition and the UFO count change); Quit sends
#    the spacecraft off, a second Quit too early does not end the program, one after it has left
#    ends it with exit code 0, and settings.txt holds the same settings.
# 3. An English game with the music off: the title screen "Dumplers" moves on by itself after 18
#    seconds (the game window comes between 17 and 20 s, with no click); the buttons read Start,
#    Pause, Options and Quit, compared with a picture of them (ref/buttons-en.png); the frame's
#    close box ends the program with exit code 0 and a save.
# Screenshots are left in the screenshot directory.
#
# usage: player.sh <program directory> <screenshot directory>
set -eu
E2E_NAME="e2e player"
. "$(dirname "$0")/lib.sh"

bindir=$1
shots=$2/player
e2e_copy_program "$bindir" "$prog"
e2e_start_x

# 1. No settings.txt.
launch env
box=$(wait_window "") || fail_with_log "no window appeared"
[ "$(xdotool getwindowname "$box")" = "Gombócok (Dumplers)" ] || fail "the first window is not the message box"
sleep 0.5
count=$(xdotool search --onlyvisible --pid "$gpid" | wc -l)
[ "$count" -eq 1 ] || fail "$count windows shown with the message box"
screenshot_window "$box" "$shots/missing-settings.png"
[ ! -e "$prog/settings.txt" ] || fail "settings.txt written before the message was confirmed"
dismiss "$box"
expect_exit 0 "OK in the box"
expect_settings "$(default_settings)" "the defaults"

# 2. Settings other than the defaults, so that a save of the defaults would show.
printf 'magyar\r\n110\r\n3\r\n150\r\n1\r\n' >"$prog/settings.txt"
launch env
title=$(wait_window "") || fail_with_log "no window appeared"
# Taskbars name the borderless title screen by its title and match every window of the program
# to its desktop entry by the class (StartupWMClass).
[ "$(xdotool getwindowname "$title")" = "Gombócok" ] || fail "the title screen is not named Gombócok"
sleep 1
screenshot_window "$title" "$shots/1-title.png"
to_board 0
xdotool getwindowname "$board" | grep -q '^Gombócok  ' || fail "the game window is not Hungarian"
sleep 0.5
window_visible "$title" && fail "the title screen is still shown next to the game window"
for w in "$title" "$board"; do
    xprop -id "$w" WM_CLASS | grep -q '= "gombocok", "gombocok"$' ||
        fail "window $w: $(xprop -id "$w" WM_CLASS), not the desktop entry's"
done

# Panel regions in the client area (pixels): ammunition label and bar, UFO count; the field.
ammo=97x17+568+76
ufos=49x29+556+120
field=120x416+7+7
click_at "$board" "$START_X" "$START_Y"
sleep 0.7
screenshot_window "$board" "$shots/2-started.png"
focus_window "$board"
# The wave stands at Top 45, 1545, 3045, 4545 twips, 750 high; the spacecraft at Top 2535, shot
# height Top + 435, step 50. Five steps down put the shot into the third UFO.
xdotool key --delay 50 Down Down Down Down Down
sleep 0.3
xdotool key space
sleep 1
screenshot_window "$board" "$shots/3-shot.png"
kill -0 "$gpid" 2>/dev/null || fail_with_log "the program ended during play"
while read -r region least what; do
    [ "$(region_diff "$shots/2-started.png" "$shots/3-shot.png" "$region")" -gt "$least" ] ||
        fail "the $what did not change (see $shots)"
done <<EOF
$field 200 field: the spacecraft did not move
$ammo 10 ammunition on the panel
$ufos 10 UFO count: the shot did not hit
EOF

click_at "$board" "$START_X" "$QUIT_Y"
quit1=$(date +%s)
sleep 2
click_at "$board" "$START_X" "$QUIT_Y"
sleep 1
kill -0 "$gpid" 2>/dev/null || fail "a second Quit before the spacecraft left the field ended the program"
# The spacecraft passes the right edge about 8.9 s after the first Quit.
while [ $(($(date +%s) - quit1)) -lt 11 ]; do sleep 0.5; done
click_at "$board" "$START_X" "$QUIT_Y"
expect_exit 0 "Quit after the spacecraft had left the field"
expect_settings 'magyar\r\n110\r\n3\r\n150\r\n1\r\n' "after Quit"

# 3. English, the music off; LF line ends, so the save at the end shows.
printf 'english\n101\n2\n200\n2\n' >"$prog/settings.txt"
launch env
title=$(wait_window "") || fail_with_log "no window appeared"
shown=$(date +%s.%N)
[ "$(xdotool getwindowname "$title")" = Dumplers ] || fail "the first window is not the title screen Dumplers"
board=$(wait_window '^Dumplers  ' 25) || fail "the game window did not come by itself"
after=$(echo "$(date +%s.%N) - $shown" | bc)
window_visible "$title" && fail "the title screen is still shown next to the game window"
# Polling adds at most 0.1 s; a window found early or late is a fault of the program.
[ "$(echo "$after >= 17 && $after <= 20" | bc)" -eq 1 ] ||
    fail "the game window came after $after s, not at the 18th second"
sleep 0.5
screenshot_window "$board" "$shots/english.png"
convert "$shots/english.png" -crop 90x150+568+268 +repage "$shots/buttons.png"
differ=$(compare -metric AE -fuzz 10% "$(dirname "$0")/ref/buttons-en.png" "$shots/buttons.png" null: 2>&1 || true)
[ "$differ" -lt 30 ] 2>/dev/null ||
    fail "the buttons differ from the English reference in $differ pixels: see $shots/buttons.png"
close_and_wait "$board"
expect_settings 'angol\r\n101\r\n2\r\n200\r\n2\r\n' "closed"
note "English: the game window after $after s, the buttons match, closed and saved"
