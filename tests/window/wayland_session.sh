#!/usr/bin/env bash
# wayland_session.sh: the game on a Wayland desktop without an X display in its environment: weston runs
# inside the X server this test is given, the game talks to weston alone. Started Borderless, it must cover
# the whole output; the settings screen must take it to each screen mode by keys and once by the mouse, the
# game alive after each, a full screen covering the output too, then a game started and a piece placed; it
# must end on SIGTERM with exit status 0 and its preferences written. With X11 named too it still chooses
# Wayland unless SDL_VIDEODRIVER names a driver (set but empty names none); on an output scaled by 2 it
# draws at the real pixels and takes clicks there. $1 is the folder holding the built game and its data.
# With KEEP_SHOTS naming a folder, the dumps of weston's output are kept there.
set -u
bin=${1:?usage: wayland_session.sh <bin folder>}

source "$(dirname "$0")/../support/game_scripts.sh"
for tool in weston xdotool wayland-info xwd; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done
[ -n "${DISPLAY:-}" ] || fail "no X server for weston to run in"
copy_game "$bin" 2 1

# A runtime folder and sockets of this run's own, so that runs side by side do not meet.
runtime="$work/runtime"
mkdir -m 0700 "$runtime"
socket="prismoria-$$"
weston_pid=
stop_all() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    pid=
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    cleanup
}
trap stop_all EXIT

# start_weston <socket> <width> <height> <scale>: weston with one output, an X window ($output). Returns
# once a client that connects is told of the output at that scale, as the game will be.
start_weston() {
    XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --socket="$1" --width="$2" \
        --height="$3" --scale="$4" --idle-time=0 >"$work/weston-$1.log" 2>&1 &
    weston_pid=$!
    local told=
    for _ in $(seq 1 200); do
        told=$(XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$1" wayland-info 2>/dev/null | grep -c "scale: $4,")
        [ "${told:-0}" -gt 0 ] && break
        kill -0 "$weston_pid" 2>/dev/null || { cat "$work/weston-$1.log" >&2; fail "weston did not start"; }
        sleep 0.1
    done
    [ "${told:-0}" -gt 0 ] || fail "weston on $1 announced no output at scale $4"
    output=$(xdotool search --class "Weston Compositor" 2>/dev/null | head -n 1)
    [ -n "$output" ] || fail "no window of weston's output"
    focus_window=$output
}
on_weston() { start_game "$1" -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$2"; }

# xwd_pixel <file> <x> <y>: "red green blue" of one pixel of an X window dump of 32 bits a pixel.
xwd_pixel() {
    local file=$1 header order bpl ncolors offset b1 b2 b3 b4
    read -r header < <(od -An -tu4 --endian=big -j0 -N4 "$file")
    read -r order < <(od -An -tu4 --endian=big -j28 -N4 "$file")
    read -r bpl < <(od -An -tu4 --endian=big -j48 -N4 "$file")
    read -r ncolors < <(od -An -tu4 --endian=big -j76 -N4 "$file")
    offset=$((header + ncolors * 12 + $3 * bpl + $2 * 4))
    read -r b1 b2 b3 b4 < <(od -An -tu1 -j "$offset" -N4 "$file")
    if [ "$order" -eq 0 ]; then echo "$b3 $b2 $b1"; else echo "$b2 $b3 $b4"; fi
}

# f2_shot <name>: a screenshot taken by the game itself (F2), kept as $work/<name>.bmp.
f2_shot() {
    rm -f "$work"/Prismoria\ *.bmp
    xdotool key F2
    for _ in $(seq 1 50); do
        if ls "$work"/Prismoria\ *.bmp >/dev/null 2>&1; then
            sleep 0.3
            mv "$(ls "$work"/Prismoria\ *.bmp | head -n 1)" "$work/$1.bmp"
            return
        fi
        sleep 0.1
    done
    fail "F2 saved no screenshot"
}

# covers_output <mode>: in a running game (a still picture), weston's output shows the game's own frame
# at its edges and corners: the game's surface lies over the whole output, the desktop's panel nowhere.
covers_output() {
    local shot="$work/game-$1.bmp" dump="$work/output-$1.xwd" x y
    f2_shot "game-$1"
    xwd -silent -id "$output" -out "$dump" || fail "no dump of weston's output"
    [ -n "${KEEP_SHOTS:-}" ] && cp "$dump" "$shot" "$KEEP_SHOTS/"
    for point in "2 2" "960 2" "1917 2" "2 540" "1917 540" "2 1077" "960 1077" "1917 1077"; do
        read -r x y <<<"$point"
        [ "$(xwd_pixel "$dump" "$x" "$y")" = "$(bmp_pixel "$shot" "$x" "$y")" ] ||
            fail "$1: weston's output at ($x, $y) is not the game's frame"
    done
}

keys() { xdotool key --delay 200 "$@"; sleep 0.5; }
# The main menu's START, then EASY and SMALL, all by keys: a game on an 8-column board.
start_small_game() { keys Down Return Down Return Down Return; sleep 1; }
# From a game: the in-game menu's QUIT, and YES, back to the main menu.
quit_game() { keys Escape Down Down Down Return Left Return; }
# Points worked out from the layout at 1920x1080: the main menu's SETTINGS label, the settings screen's
# music and screen mode rows and its OK label.
click() { xdotool mousemove --window "$output" "$1" "$2" sleep 0.3 click 1 sleep 0.5; }

# mode_by_keys <mode name> <screen width>: SETTINGS, the screen mode row stepped once, OK, all by keys;
# the game must reopen in the mode and come back to its main menu.
opened=0
mode_by_keys() {
    keys Down Down Down Return
    keys Down Down Down Down Right Down Down Return
    reopened "$1" "$2"
}
reopened() {
    opened=$((opened + 1))
    for _ in $(seq 1 50); do
        [ "$(grep -c $'^Opening screen (' "$log")" -gt "$opened" ] && break
        kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the game ended on the change to $1 (exit status $?)"; }
        sleep 0.2
    done
    [ "$(grep $'^Opening screen (' "$log" | tail -n 1)" = $'Opening screen ('"$1"$'):\t\tOK\r' ] ||
        fail "the change to $1 opened no screen in that mode"
    sleep 1
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the game died after the change to $1 (exit status $?)"; }
    wait_for_main_menu "$2"
}

start_weston "$socket" 1920 1080 1
on_weston 96 "$socket"
grep -q $'^Opening screen (Borderless):\t\tOK\r$' "$log" || fail "no borderless screen opened"
wait_for_main_menu
start_small_game
covers_output Borderless
quit_game
wait_for_main_menu
# Without a click to the corner: a window may stand anywhere on the desktop, and it keeps the keyboard.
focus_click=
mode_by_keys Fullscreen 1920
mode_by_keys Windowed 1280
mode_by_keys Borderless 1920
focus_click=1
# By the mouse: SETTINGS, the music row (off), the screen mode row (Fullscreen), OK.
click 960 642
click 960 584
click 960 684
click 729 844
reopened Fullscreen 1920
grep -q $'^Music:\t\tOFF\r$' "$log" || fail "the clicks on SETTINGS, the music row and OK did not reach the game"
start_small_game
covers_output Fullscreen
# A piece taken by its key and placed at the board's centre: some cell of the empty board takes its gems.
f2_shot before
keys 1 Return
f2_shot after
changed=0
for row in 0 1 2 3 4 5 6 7; do
    for column in 0 1 2 3 4 5 6 7; do
        x=$((576 + 96 * column + 48)) y=$((96 + 96 * row + 48))
        [ "$(bmp_pixel "$work/before.bmp" "$x" "$y")" = "$(bmp_pixel "$work/after.bmp" "$x" "$y")" ] ||
            changed=$((changed + 1))
    done
done
[ "$changed" -gt 0 ] || fail "after the mode changes no piece was placed by keys"
xdotool key n  # sounds off, a key in the game
sleep 1

end_by_signal
grep -q $'^GameScreen = 0\r$' "$work/Prismoria.prefs" || fail "the screen mode chosen in this run was not saved"
grep -q $'^Music = 0\r$' "$work/Prismoria.prefs" || fail "the music turned off in this run was not saved"
grep -q $'^Sounds = 0\r$' "$work/Prismoria.prefs" || fail "the sounds turned off by N were not saved"

# With an X display in the environment as well (XWayland on a Wayland desktop) the game still talks to
# weston: no window of it shows on the X server. SDL_VIDEODRIVER set but empty names no driver; a driver
# the user names (x11) takes it to X11.
for driver in unset "" x11; do
    rm -f "$work"/Log\ *.log
    if [ "$driver" = unset ]; then
        start_game 96 -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket"
    else
        start_game 96 XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" SDL_VIDEODRIVER="$driver"
    fi
    sleep 1
    x_window=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
    if [ "$driver" = x11 ]; then
        [ -n "$x_window" ] || fail "SDL_VIDEODRIVER=x11 did not take the game to X11"
    else
        [ -z "$x_window" ] || fail "with both displays named (driver '$driver') the game opened an X window"
    fi
    end_by_signal "driver '$driver'"
done

# A scaled output (weston at scale 2: 960x540 in its coordinates, 1920x1080 pixels): the game draws at
# the pixels, and a click at a button's pixels hits it. The music is off since the first run; the music
# row and OK turn it on.
kill "$weston_pid" && wait "$weston_pid" 2>/dev/null
start_weston "$socket-scaled" 960 540 2
rm -f "$work"/Log\ *.log
on_weston '[0-9]*' "$socket-scaled"
grep -q $'^ScreenWidth:\t\t960\r$' "$log" || fail "the scaled output does not report a desktop of 960 wide"
grep -q $'^Screenwidth:\t\t1920\r$' "$log" ||
    fail "on the scaled output the screen is not 1920 pixels wide ($(grep $'^Screenwidth' "$log" | tr -d '\r'))"
wait_for_main_menu
click 960 642
click 960 584
click 729 844
for _ in $(seq 1 50); do grep -q $'^Music:\t\tON\r$' "$log" && break; sleep 0.2; done
grep -q $'^Music:\t\tON\r$' "$log" ||
    { tail -n 4 "$log" >&2; fail "clicks at the buttons' pixels missed them on the scaled output"; }
end_by_signal "on the scaled output"
echo "PASS: on Wayland alone: Borderless and Fullscreen cover the output; every screen mode chosen by keys"
echo "      and once by the mouse, the game alive after each; a piece placed afterwards; SIGTERM saved the"
echo "      preferences (exit status 0); a scaled output drawn at its pixels and clicked there;"
echo "      Wayland chosen over X11, an empty SDL_VIDEODRIVER ignored and SDL_VIDEODRIVER=x11 respected"
