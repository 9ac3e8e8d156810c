#!/usr/bin/env bash
# spine_real_window.sh: starts the real game on an X display with "/LOG", waits for the main menu and
# leaves it with Escape. $1 is the folder holding the built game and its data files.
set -u
bin=${1:?usage: spine_real_window.sh <bin folder>}

source "$(dirname "$0")/../support/game_scripts.sh"
command -v xdotool >/dev/null || fail "xdotool is missing"
# A portable copy, full screen: the preferences and the log stay in $work.
copy_game "$bin" 0 1

# The log is written beside the program; its last start-up line carries the tile size.
start_game 96
head -n 1 "$log" | grep -q $'^Prismoria\r$' || fail "the log does not start with the product name"

# The intro takes about 250 frames (a little over 4 s at 60 frames a second);
# Escape does nothing before the main menu, so it is sent until the game ends.
sleep 4
win=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
for _ in $(seq 1 30); do
    kill -0 "$pid" 2>/dev/null || break
    if [ -n "$win" ]; then xdotool windowfocus "$win" 2>/dev/null; fi
    xdotool key Escape
    sleep 1
done
if kill -0 "$pid" 2>/dev/null; then fail "Escape on the main menu did not end the game"; fi
wait "$pid"
rc=$?
pid=
[ "$rc" -eq 0 ] || fail "exit code $rc"
[ -f "$work/Prismoria.prefs" ] || fail "preferences were not written back"
grep -q $'GameScreen = 0\r' "$work/Prismoria.prefs" || fail "preferences lost the screen mode"
[ ! -e "$work/data/dawnwhistle game studio" ] || fail "the per-user folder was created in portable use"
echo "PASS: log, main menu and Escape (exit code 0)"
