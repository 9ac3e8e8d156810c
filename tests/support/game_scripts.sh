# game_scripts.sh: what the scripts that run the real game share: failing, a scratch folder, a copy of the game.
#
# Sourced by the scripts under tests/window and tests/install. Sets $work, a new
# folder removed on exit together with the game started as $pid.

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# copy_game <bin folder> <GameScreen> <Music and Sounds 0|1>: the program and its
# data in $work with preferences beside it, HOME and the data folder inside
# $work too, so everything a run writes stays there.
copy_game() {
    local bin=$1
    [ -x "$bin/prismoria" ] || fail "no game in $bin"
    [ -f "$bin/Prismoria.data" ] || fail "no data pack in $bin"
    cp "$bin/prismoria" "$bin/Prismoria.data" "$work/"
    [ -d "$bin/Prismoria.languages" ] && cp -r "$bin/Prismoria.languages" "$work/"
    [ -f "$bin/Prismoria.pointer" ] && cp "$bin/Prismoria.pointer" "$work/"
    printf '\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = %s\r\nGameScreen = %s\r\nResolution = 1\r\nSounds = %s\r\nMusicVolume = 100\r\n' \
        "$3" "$2" "$3" > "$work/Prismoria.prefs"
    mkdir -p "$work/home" "$work/data"
    export HOME="$work/home" XDG_DATA_HOME="$work/data" SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
}

# start_game <tile> [env arguments...]: starts the copy in $work with "/LOG" (under
# `env` with the arguments given, e.g. -u DISPLAY), sets $pid, and waits until the
# log in $log ends its start-up with a TileSize line of <tile>.
start_game() {
    local tile=$1
    shift
    (cd "$work" && exec env "$@" ./prismoria /LOG) &
    pid=$!
    log=
    for _ in $(seq 1 150); do
        log=$(ls "$work"/Log\ *.log 2>/dev/null | head -n 1)
        if [ -n "$log" ] && grep -q $'^TileSize: \t\t'"$tile"$'\r$' "$log"; then return 0; fi
        kill -0 "$pid" 2>/dev/null || fail "the game ended during start-up"
        sleep 0.2
    done
    [ -n "$log" ] && cat "$log" >&2
    fail "no start-up ending in a TileSize line of $tile"
}

# end_by_signal [what]: SIGTERM to the game started as $pid, which must end within
# 10 s with exit status 0 (as the desktop's log-out expects); clears $pid.
end_by_signal() {
    kill -TERM "$pid"
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the game${1:+ ($1)}"
    wait "$pid"
    local rc=$?
    pid=
    [ "$rc" -eq 0 ] || fail "exit status $rc after SIGTERM${1:+ ($1)}"
}

# bmp_pixel <file> <x> <y>: "red green blue" of one pixel of a 24-bit bitmap
# stored bottom-up, as the game's screenshots are.
bmp_pixel() {
    local file=$1 x=$2 y=$3 offset width height stride b g r
    offset=$(od -An -tu4 -j10 -N4 "$file" | tr -d ' ')
    width=$(od -An -td4 -j18 -N4 "$file" | tr -d ' ')
    height=$(od -An -td4 -j22 -N4 "$file" | tr -d ' ')
    stride=$(((width * 3 + 3) / 4 * 4))
    read -r b g r < <(od -An -tu1 -j $((offset + (height - 1 - y) * stride + x * 3)) -N3 "$file")
    echo "$r $g $b"
}

# wait_for_main_menu [screen width]: screenshots (F2, into $save_dir, else $work where a copy
# saves) until one shows the main menu's panel of a 16:9 screen (1920 wide unless given): its fill
# colour above and below the second button, where the intro shows the gem wall. The keys go to the window
# $focus_window, given the focus before each, after a click in a corner of the
# screen where no menu has a button (a compositor gives a client the keyboard
# when it is clicked) unless focus_click is set but empty; the game runs as $pid.
wait_for_main_menu() {
    local shot width=${1:-1920} dir=${save_dir:-$work}
    local x=$((960 * width / 1920)) above=$((460 * width / 1920)) below=$((605 * width / 1920))
    for _ in $(seq 1 90); do
        rm -f "$dir"/Prismoria\ *.bmp
        xdotool windowfocus "$focus_window" 2>/dev/null
        [ -n "${focus_click-1}" ] && xdotool mousemove --window "$focus_window" 100 100 click 1 sleep 0.2
        xdotool key F2
        sleep 1
        kill -0 "$pid" 2>/dev/null || fail "the game ended before its main menu"
        shot=$(ls "$dir"/Prismoria\ *.bmp 2>/dev/null | head -n 1)
        if [ -n "$shot" ] && [ "$(bmp_pixel "$shot" "$x" "$above")" = "38 35 32" ] &&
            [ "$(bmp_pixel "$shot" "$x" "$below")" = "38 35 32" ]; then
            rm -f "$shot"
            return 0
        fi
    done
    # What a failure needs to be understood: where the log ended, who had the
    # focus, and whether the game was running or waiting.
    tail -n 3 "$dir"/Log\ *.log >&2 2>/dev/null
    echo "focus: $(xdotool getwindowfocus 2>&1), wanted: $focus_window" >&2
    ps -o pid,stat,pcpu,time,wchan:20,cmd -p "$pid" >&2
    fail "no main menu on the screen after 90 screenshots"
}
