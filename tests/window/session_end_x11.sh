#!/usr/bin/env bash
# session_end_x11.sh: the desktop ending the session during a game on X11: SIGTERM ends the game with exit
# status 0, the preferences changed in this run and the best scores written. $1 is the folder holding the
# built game and its data files.
set -u
bin=${1:?usage: session_end_x11.sh <bin folder>}

source "$(dirname "$0")/../support/game_scripts.sh"
command -v xdotool >/dev/null || fail "xdotool is missing"
copy_game "$bin" 0 1

start_game 96
win=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
[ -n "$win" ] || fail "no game window"

# QUICKGAME on the main menu at 1920x1080. Escape then tells where the game is:
# on the main menu it would end the program, during a game it opens the in-game
# menu and a second one resumes the game.
xdotool windowfocus "$win" 2>/dev/null
focus_window=$win
wait_for_main_menu
xdotool mousemove --window "$win" 960 567 sleep 0.3 click 1 sleep 1
xdotool key Escape
sleep 1
kill -0 "$pid" 2>/dev/null || fail "no game had started: Escape on the main menu ended the program"
xdotool key Escape  # back to the game
xdotool key n       # sounds off, in this run only until it is saved
sleep 1

end_by_signal
grep -q $'^Sounds = 0\r$' "$work/Prismoria.prefs" || fail "the sounds turned off during the game were not saved"
[ "$(stat -c %s "$work/Prismoria.scores" 2>/dev/null)" = 36 ] || fail "the best scores were not written"
echo "PASS: SIGTERM during a game on X11 saved preferences and scores (exit status 0)"
