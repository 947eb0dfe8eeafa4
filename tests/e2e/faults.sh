#!/bin/sh
# The real program with faults around it, one case a run, each on its own X server: damaged,
# missing and hostile pictures in a directory whose name is not UTF-8; hostile sound files with a
# working audio output; a sound server restarted under the program; hostile settings files; an
# unwritable program directory; signals. The matrices of what may stand at a path belong to the
# unit tests: here a few rows show that the real program starts, does not block, shows the right
# box and ends with the right code.
#
# usage: faults.sh <program directory> pictures|sounds|sound_restart|sound_restart_pipewire|settings|
#        readonly_dir|signals|signals_busy
set -eu
E2E_NAME="e2e faults $2"
. "$(dirname "$0")/lib.sh"

bindir=$1
# The defaults, started from with LF line ends: a save writes CRLF, so a save shows in the file.
saved=$(default_settings)
start_settings=$(printf '%s' "$saved" | sed 's/\\r//g')
e2e_copy_program "$bindir" "$prog"
printf "$start_settings" >"$prog/settings.txt"
e2e_start_x

# A program directory named in Latin-1 ("játék") with a stray byte: the program plays and saves
# there; then each row puts a fault in place of one picture file (the cursor is loaded first,
# then the spacecraft the settings choose, then ufo1.gif). Each is refused at once, named with the
# directory's own bytes on stderr and in a box; the program ends with exit code 1 and leaves
# settings.txt as it was.
pictures() {
    odd=$e2e_work/$(printf 'j\341t\351k\377')
    mv "$prog" "$odd"
    prog=$odd
    launch env
    to_board
    play_a_little "$board"
    close_and_wait "$board"
    expect_settings "$saved" "the save in the odd directory"
    [ ! -e /settings.txt ] || [ /settings.txt -ot "$prog/gombocok" ] ||
        fail "a settings.txt was written at the root of the file system"
    # The file, how the box is answered (Return, or SIGTERM: the failure's exit code stands), then
    # a command that puts the fault at the path it is given.
    while read -r file answer fault; do
        rm -rf "${prog:?}/$file"
        eval "$fault \"\$prog/\$file\""
        launch env
        box=$(wait_window '^Gombócok$' 10) || fail_with_log "$file $fault: no box (the game window?)"
        memory_within_bounds
        [ "$answer" = TERM ] && kill -TERM "$gpid" || dismiss "$box"
        expect_exit 1 "$file $fault"
        grep -q "cannot load picture file: $prog/$file\$" "$e2e_work/gombocok.log" ||
            fail_with_log "$file $fault: stderr does not name it"
        expect_settings "$saved" "$file $fault"
        note "$file $fault: named, peak $peak MB, exit 1"
        rm -rf "${prog:?}/$file"
        cp "$bindir/$file" "$prog/$file"
    done <<EOF
handk.cur Return mkfifo
handk.cur TERM : missing
handk.cur Return ln -s /dev/zero
k_urhajo_03.jpg Return head -c 4000 /dev/urandom >
ufo1.gif Return : missing
ufo1.gif Return mkfifo
EOF
}

# Sound files that are damaged or no files, or that would read or grow without end, with a
# working audio output: each is silent, nothing throws, waits or blows up the memory, the window
# answers its close box at once, and the sounds are read when the game window loads, not again
# however often they play.
sounds() {
    start_sound_server
    for f in csend prgvege; do rm "$prog/$f.wav" && mkfifo "$prog/$f.wav"; done
    echo "not a wave file" >"$prog/prgindit.wav"  # the jingle, two seconds into the title
    rm "$prog/beallit.wav"
    head -c 100000 /dev/urandom >"$prog/ufoloves.wav"
    ln -sf /dev/zero "$prog/utkozes.wav"
    ln -sf /dev/urandom "$prog/tavozas.wav"        # the departure after Quit
    # The music: a valid 12 MB of 8-bit mono at 1,000 Hz (3 h 20 min), gigabytes once converted.
    { wav_header 1 1 1000 8 12000000 && head -c 12000000 /dev/zero | tr '\000' '\200'; } \
        >"$prog/urzaj.wav"
    # The shot: 15 MB of float samples (sparse), within the file bound, refused once converted.
    wav_header 3 2 44100 32 15000000 >"$prog/uloves.wav"
    truncate -s 15000044 "$prog/uloves.wav"
    launch env
    to_board 2.5
    pactl list short sink-inputs | grep -q . || fail_with_log "the program has no sound output"
    click_at "$board" "$START_X" "$START_Y"
    sleep 0.5
    rchar() { awk '/^rchar:/ { print $2 }' "/proc/$gpid/io"; }
    first=$(rchar)
    # Shots as fast as a player fires, for three seconds.
    xdotool key --delay 50 $(i=0; while [ $i -lt 61 ]; do printf 'space '; i=$((i + 1)); done)
    sleep 0.3
    # A refused sound was looked at by its head (64 KB) once, when the window loaded.
    again=$((($(rchar) - first) / 1000))
    [ "$again" -lt 1000 ] || fail_with_log "sixty shots read $again KB: the file was read again"
    click_at "$board" "$START_X" "$QUIT_Y"
    sleep 1
    kill -0 "$gpid" 2>/dev/null || fail_with_log "the program ended after Quit"
    memory_within_bounds
    close_and_wait "$board" 5
    note "sixty shots read $again KB; peak $peak MB; closed within 5 s"
}

# On a sound server ($1: pulse or pipewire) the shots are heard; the mixer lists the game's stream
# by its name, icon and role, paused once the last shot has sounded (on PipeWire it asks for a
# quantum of at most 512 frames at 48 kHz). The only sink unplugged and plugged back, then the
# server killed and started anew on the same socket under the running program: the shots after
# each are heard again.
sound_restart() {
    # Shots for two seconds while the null sink's monitor is recorded; sets `peak` to the loudest
    # sample as a fraction of full scale and fails when it is not loud, $1 in messages (empty: no
    # check).
    shots_heard() {
        parec --device=e2e.monitor --raw --format=s16le --rate=48000 --channels=1 \
            --latency-msec=10 >"$e2e_work/rec.raw" 2>/dev/null &
        rec=$!
        sleep 0.3
        xdotool key --delay 150 space space space space space space space space space space
        sleep 0.3
        kill "$rec"
        wait "$rec" 2>/dev/null || true
        peak=$(sox -t raw -r 48000 -e signed -b 16 -c 1 "$e2e_work/rec.raw" -n stat 2>&1 |
            awk '/^Maximum amplitude/ { print $3 }')
        [ -z "$1" ] || awk -v p="$peak" 'BEGIN { exit !(p > 0.05) }' || fail_with_log "no shot heard $1 ($peak)"
    }
    start_sound_server "$1"
    launch env
    to_board
    click_at "$board" "$START_X" "$START_Y"
    sleep 0.5
    shots_heard "before the restart"
    before=$peak
    sleep 0.5  # the last shot has sounded: the stream is paused
    inputs=$(pactl list sink-inputs)
    for prop in 'application.name = "\(Gombócok\|Dumplers\)"' \
        'application.icon_name = "gombocok"' 'media.role = "game"' 'Corked: yes'; do
        echo "$inputs" | grep -q "$prop" || fail "the mixer does not see $prop: $inputs"
    done
    if [ "$1" = pipewire ]; then
        latency=$(XDG_RUNTIME_DIR=$e2e_sound_dir pw-dump | tr -d ' \n' |
            grep -o '"application.name":"\(Gombócok\|Dumplers\)"[^}]*"node.latency":"[0-9/]*"' |
            sed 's/.*"node.latency":"//; s/"$//')
        frames=${latency%/*}
        [ -n "$frames" ] && [ "${latency#*/}" = 48000 ] && [ "$frames" -le 512 ] ||
            fail "the game's stream asks for a latency of '$latency'"
        note "node.latency $latency"
    fi
    # The only output unplugged and plugged back.
    module=$(pactl list short modules | awk '$2 == "module-null-sink" { print $1 }')
    pactl unload-module "$module"
    sleep 0.5
    xdotool key --delay 150 space space space  # shots while there is no output at all
    sleep 0.5
    pactl load-module module-null-sink sink_name=e2e rate=48000 >/dev/null
    poll 5 eval 'pactl info | grep -q "^Default Sink: e2e\$"' || fail "the sink did not come back"
    shots_heard ""
    shots_heard "after the sink came back"
    replugged=$peak
    stop_sound_server
    sleep 1
    start_sound_server "$1"
    # The first recording on a server just started loses most of its samples: a second is whole.
    shots_heard ""
    shots_heard "after the restart"
    close_and_wait "$board"
    note "$1: shots heard before (peak $before), after the sink came back ($replugged) and after the server's restart ($peak)"
}

# The names in the program directory with their sizes and kinds, but settings.txt.
listing() {
    (cd "$prog" && find . -mindepth 1 -maxdepth 1 ! -name settings.txt -printf '%p %y %s\n' | sort)
}

# A FIFO in place of settings.txt, and a file the player may not read (mode 000, as an
# unprivileged user who owns the directory): each is named in a box (not as missing), the game
# goes on with the defaults, and the thing is left as it was; nothing else is written.
settings() {
    mkdir -p "$e2e_work/home"
    chmod 755 "$e2e_work"
    for kind in fifo "mode 000"; do
        rm -f "$prog/settings.txt"
        if [ "$kind" = fifo ]; then
            mkfifo "$prog/settings.txt"
            set -- env
        else
            printf 'english\r\n010\r\n9\r\n50\r\n0\r\n' >"$prog/settings.txt"
            chown -R nobody "$prog" "$e2e_work/home"
            chmod 000 "$prog/settings.txt"
            # setpriv, not runuser: the program runs in this process, which the window search needs.
            set -- setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$e2e_work/home"
        fi
        before=$(listing)
        launch "$@"
        box=$(wait_window '^Gombócok (Dumplers)$' 10) || fail_with_log "$kind: no box about the file"
        sleep 0.3
        dismiss "$box"
        to_board
        close_and_wait "$board"
        grep -q "cannot read" "$e2e_work/gombocok.log" || fail_with_log "$kind: not reported"
        grep -q "missing" "$e2e_work/gombocok.log" && fail_with_log "$kind: called missing"
        [ "$(listing)" = "$before" ] || fail "$kind: other files written: $(listing)"
        if [ "$kind" = fifo ]; then
            [ -p "$prog/settings.txt" ] || fail "the FIFO was replaced"
        else
            [ "$(stat -c %a "$prog/settings.txt")" = 0 ] || fail "mode 000: the mode changed"
            expect_settings 'english\r\n010\r\n9\r\n50\r\n0\r\n' "mode 000"
        fi
    done
    # (The sound library keeps its own files under the home folder; the game keeps none there.)
    [ ! -e "$e2e_work/home/.config/gombocok" ] || fail "settings written to the player's folder"
}

# The program directory cannot be written (a system-wide install): the settings live in the
# player's own folder, $XDG_CONFIG_HOME/gombocok. The first start takes the program directory's
# file without a word; with no file anywhere the missing box comes, the defaults go to the
# player's folder and the next start plays; a player's folder that cannot be made is told in a box
# at the end. The program directory stays as it was and every run ends with 0.
readonly_dir() {
    # Root writes through file modes: a read-only bind mount in a private mount namespace.
    ro="mount --bind -o ro '$prog' '$prog'"
    # A machine that gives no private mount namespace (a container without the right, a chroot
    # whose / is not a mount point: unshare cannot make its mounts private) cannot run this case.
    if ! why=$(unshare -m sh -c "$ro" 2>&1); then
        echo "$E2E_NAME: SKIP: a read-only bind mount in a private mount namespace: $why"
        exit 77
    fi
    unshare -m sh -c "$ro && ! touch '$prog/.probe' 2>/dev/null" || fail "the read-only bind mount can be written"
    # Starts the program on the unwritable directory with $1 as its XDG_CONFIG_HOME.
    launch_ro() {
        launch env XDG_CONFIG_HOME="$1" unshare -m sh -c "$ro && cd '$prog' && exec \"\$0\""
    }
    # The box named $1 answered, the program must end with 0.
    ended() {
        box=$(wait_window "$1" 10) || fail_with_log "no box $1"
        dismiss "$box"
        expect_exit 0 "$1"
    }
    config=$e2e_work/config
    own=$config/gombocok/settings.txt

    launch_ro "$config"
    to_board
    play_a_little "$board"
    close_and_wait "$board"
    expect_settings "$saved" "first start: the player's file" "$own"
    expect_settings "$start_settings" "first start: the program's file"
    [ "$(stat -c %a "$config/gombocok")" = 700 ] || fail "the player's folder is open to others"

    rm -rf "$config" "$prog/settings.txt"
    launch_ro "$config"
    ended '^Gombócok (Dumplers)$'
    [ ! -e "$prog/settings.txt" ] || fail "no file: written into the program directory"
    expect_settings "$saved" "no file: the defaults in the player's folder" "$own"
    launch_ro "$config"
    to_board
    close_and_wait "$board"

    printf "$start_settings" >"$prog/settings.txt"
    launch_ro "$prog/config"
    to_board
    focus_window "$board"
    xdotool key alt+F4
    ended '^Gombócok$'
    expect_settings "$start_settings" "unwritable folder: the program's file"
    grep -q "settings were not saved" "$e2e_work/gombocok.log" || fail_with_log "the failed save was not told"
}

# The program asked to end from outside: SIGTERM, SIGINT and SIGHUP after choices confirmed with
# OK in the options dialog save them as a normal end does (exit code 0), also with a message box
# open; at start-up, with the missing-settings box open, the defaults are written; two signals
# together (a logout's SIGHUP and SIGTERM, queued while the program is stopped) save exactly as one
# does; a signal in the first moments leaves the old file or a whole saved one. No other file is
# written.
signals() {
    chosen='angol\r\n111\r\n2\r\n200\r\n0\r\n'
    # Opens the options dialog; sets `dialog`.
    options() {
        to_board
        click_at "$board" "$START_X" "$OPTIONS_Y"
        dialog=$(wait_window '^Beállítások') || fail_with_log "no options dialog"
        sleep 0.5
    }
    # Signals (stopped while they are sent, so that all wait), what comes before them, the exit
    # codes allowed, the settings files allowed (with the box open: a whole save of the dialog's
    # fields as they stand, the ammunition box emptied or not).
    while read -r sigs before codes want; do
        printf "$start_settings" >"$prog/settings.txt"
        [ "$before" != missing ] || rm "$prog/settings.txt"
        files=$(listing)
        # A program started in the background of a script begins with SIGINT ignored, and keeps
        # it so; a player's terminal gives it the default action, as here.
        launch env --default-signal=INT
        case $before in
            options)  # spacecraft type 0 (first picture), English (second language button), OK
                options
                for xy in "85 109" "140 192" "56 276"; do click_at "$dialog" $xy && sleep 0.3; done
                window_visible "$dialog" && fail_with_log "the options dialog stayed open after OK"
                ;;
            box)  # the third tab, a letter in the ammunition box: a box refuses it
                options
                click_at "$dialog" 210 19
                sleep 0.3
                click_at "$dialog" 320 97
                xdotool key x
                wait_window '^Gombócok$' 5 >/dev/null || fail_with_log "no message box for the refused key"
                ;;
            missing) wait_window '^Gombócok (Dumplers)$' >/dev/null || fail_with_log "no missing-settings box" ;;
            *) sleep "$before" ;;
        esac
        kill -STOP "$gpid"
        for sig in $(echo "$sigs" | tr , ' '); do kill -"$sig" "$gpid"; done
        kill -CONT "$gpid"
        wait_exit 10 || fail_with_log "$sigs after $before: the program did not end"
        echo "|$codes|" | grep -q "|$status|" || fail_with_log "$sigs after $before: exit code $status"
        # The file in the escapes printf reads, to find among the files allowed.
        got=$(od -An -c "$prog/settings.txt" | tr -d ' \n')
        printf '|%s|' "$want" | grep -qF "|$got|" || fail "$sigs after $before: settings $got"
        [ "$(listing)" = "$files" ] || fail "$sigs after $before: other files written: $(listing)"
        note "$sigs after $before: exit $status, settings as they should be"
    done <<EOF
TERM options 0 $chosen
INT options 0 $chosen
HUP options 0 $chosen
TERM box 0 magyar\r\n111\r\n2\r\n0\r\n2\r\n|$saved
HUP missing 0 $saved
HUP,TERM options 0 $chosen
TERM,INT options 0 $chosen
TERM 0 0|143 $start_settings|$saved
TERM 0.05 0|143 $start_settings|$saved
TERM 0.2 0|143 $start_settings|$saved
TERM 0.5 0|143 $start_settings|$saved
EOF
}

# Two SIGTERMs 0 to 20 ms apart once the settings are read, while a loop writes and syncs a large
# file and a busy loop runs on every core: each round saves whole (the start file has LF line
# ends, a save CRLF) with exit code 0, and leaves no other file. $E2E_ROUNDS rounds (default 30).
signals_busy() {
    rounds=${E2E_ROUNDS:-30}
    # The load ends by itself, should this script end early.
    timeout 150 sh -c 'while :; do dd if=/dev/zero of="$0" bs=1M count=64 conv=fsync 2>/dev/null; done' \
        "$e2e_work/flush" &
    load=$!
    for _ in $(seq "$(nproc)"); do
        timeout 150 sh -c 'while :; do :; done' &
        load="$load $!"
    done
    round=0 started=$(date +%s)
    while [ "$round" -lt "$rounds" ]; do
        round=$((round + 1))
        printf "$start_settings" >"$prog/settings.txt"
        files=$(listing)
        launch env
        wait_window "" 20 >/dev/null || fail_with_log "round $round: no window"
        apart=$(($(od -An -N1 -tu1 /dev/urandom) % 21))
        kill -TERM "$gpid"
        sleep "0.0$(printf %02d "$apart")"
        kill -TERM "$gpid" 2>/dev/null || true
        wait_exit 20 || fail_with_log "round $round: the program did not end"
        [ "$status" -eq 0 ] || fail_with_log "round $round ($apart ms apart): exit code $status"
        expect_settings "$saved" "round $round ($apart ms apart)"
        [ "$(listing)" = "$files" ] || fail "round $round: other files written: $(listing)"
    done
    # shellcheck disable=SC2086 # one word a process
    kill $load 2>/dev/null || true
    note "$rounds rounds of two SIGTERMs 0-20 ms apart under load: all saved whole, no other file, $(($(date +%s) - started)) s"
}

case $2 in
pictures | sounds | settings | readonly_dir | signals | signals_busy) "$2" ;;
sound_restart) sound_restart pulse ;;
sound_restart_pipewire) sound_restart pipewire ;;
*) fail "no case $2" ;;
esac
