#!/usr/bin/env bash
# wayland_session.sh: the game on a Wayland desktop without an X display in its environment: weston runs
# inside the X server this test is given, the game talks to weston alone. It must reach the main menu, take
# a click and a key, and end on SIGTERM with exit status 0 and its preferences written; with X11 named too it
# still chooses Wayland unless SDL_VIDEODRIVER says otherwise; on an output scaled by 2 it draws at the real
# pixels and takes clicks there. $1 is the folder holding the built game and its data files.
set -u
bin=${1:?usage: wayland_session.sh <bin folder>}

source "$(dirname "$0")/../support/game_scripts.sh"
command -v weston >/dev/null || fail "weston is missing"
command -v xdotool >/dev/null || fail "xdotool is missing"
[ -n "${DISPLAY:-}" ] || fail "no X server for weston to run in"
copy_game "$bin" 0 1

# A runtime folder and a socket of this run's own, so that runs side by side do not meet.
runtime="$work/runtime"
mkdir -m 0700 "$runtime"
socket="prismoria-$$"
weston_pid=
scaled_pid=
stop_all() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    pid=
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    cleanup
}
trap stop_all EXIT
XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --socket="$socket" \
    --width=1920 --height=1080 --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 1 100); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || { cat "$work/weston.log" >&2; fail "weston did not start"; }
    sleep 0.1
done
[ -S "$runtime/$socket" ] || fail "weston opened no socket"
sleep 2  # its desktop shell, which starts after the socket, up before the game
# weston's output is an X window; pointer and keys reach the game through it.
output=
for _ in $(seq 1 50); do
    output=$(xdotool search --class "Weston Compositor" 2>/dev/null | head -n 1)
    [ -n "$output" ] && break
    sleep 0.1
done
[ -n "$output" ] || fail "no window of weston's output"

start_game 96 -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket"
grep -q $'^Opening screen (Fullscreen):\t\tOK\r$' "$log" || fail "no full screen opened"

# Points worked out from the layout at 1920x1080: the main menu's SETTINGS label,
# the settings screen's music row and its OK label.
click() { xdotool mousemove --window "$output" "$1" "$2" sleep 0.3 click 1 sleep 0.5; }
# SETTINGS, the music row, OK: the music turned the other way.
toggle_music_in_settings() {
    click 960 642
    click 960 584
    click 729 844
    sleep 1
}
xdotool windowfocus "$output" 2>/dev/null
focus_window=$output
wait_for_main_menu
toggle_music_in_settings
grep -q $'^Music:\t\tOFF\r$' "$log" || fail "the clicks on SETTINGS, the music row and OK did not reach the game"
xdotool key n  # sounds off, a key on the main menu
sleep 1

end_by_signal
grep -q $'^Music = 0\r$' "$work/Prismoria.prefs" || fail "the music turned off in this run was not saved"
grep -q $'^Sounds = 0\r$' "$work/Prismoria.prefs" || fail "the sounds turned off by N were not saved"

# With an X display in the environment as well (XWayland on a Wayland desktop)
# the game still talks to weston: no window of it shows on the X server. A
# driver the user names (SDL_VIDEODRIVER=x11) takes it to X11.
for driver in "" x11; do
    rm -f "$work"/Log\ *.log
    start_game 96 XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" ${driver:+SDL_VIDEODRIVER=$driver}
    sleep 1
    x_window=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
    if [ -z "$driver" ]; then
        [ -z "$x_window" ] || fail "with both displays named the game opened an X window, not a Wayland one"
    else
        [ -n "$x_window" ] || fail "SDL_VIDEODRIVER=x11 did not take the game to X11"
    fi
    end_by_signal "driver '${driver}'"
done

# A scaled output (weston at scale 2: 960x540 in its coordinates, 1920x1080
# pixels): the game draws at the pixels, and a click at a button's pixels hits
# it. The music is off since the first run; the music row and OK turn it on.
kill "$weston_pid" && wait "$weston_pid" 2>/dev/null
weston_pid=
scaled="$socket-scaled"
XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --socket="$scaled" \
    --width=960 --height=540 --scale=2 --idle-time=0 >"$work/weston-scaled.log" 2>&1 &
scaled_pid=$!
trap '[ -n "$scaled_pid" ] && kill "$scaled_pid" 2>/dev/null && wait "$scaled_pid" 2>/dev/null; stop_all' EXIT
for _ in $(seq 1 100); do [ -S "$runtime/$scaled" ] && break; sleep 0.1; done
sleep 2
output=$(xdotool search --class "Weston Compositor" 2>/dev/null | head -n 1)
[ -n "$output" ] || fail "no window of the scaled weston's output"
rm -f "$work"/Log\ *.log
start_game '[0-9]*' -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$scaled"
grep -q $'^ScreenWidth:\t\t960\r$' "$log" || fail "the scaled output does not report a desktop of 960 wide"
grep -q $'^Screenwidth:\t\t1920\r$' "$log" || fail "on the scaled output the screen is not 1920 pixels wide"
focus_window=$output
wait_for_main_menu
toggle_music_in_settings
grep -q $'^Music:\t\tON\r$' "$log" || fail "clicks at the buttons' pixels missed them on the scaled output"
end_by_signal "on the scaled output"
echo "PASS: on Wayland alone: main menu, a click and a key, SIGTERM saved the preferences (exit status 0);"
echo "      a scaled output drawn at its pixels and clicked there;"
echo "      Wayland chosen over X11, and SDL_VIDEODRIVER=x11 respected"
