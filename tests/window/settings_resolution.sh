#!/usr/bin/env bash
# settings_resolution.sh: in a window of 1280x720, the settings screen's next resolution and OK reopen the
# game in a window of 1366x768, driven with real pointer events. $1 is the folder of the built game.
set -u
bin=${1:?usage: settings_resolution.sh <bin folder>}

source "$(dirname "$0")/../support/game_scripts.sh"
command -v xdotool >/dev/null || fail "xdotool is missing"
copy_game "$bin" 1 0

(cd "$work" && exec ./prismoria /LOG) &
pid=$!

win=
for _ in $(seq 1 100); do
    win=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended during start-up"
    sleep 0.1
done
[ -n "$win" ] || fail "no game window"
geometry() { xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p'; }
[ "$(geometry)" = "1280x720" ] || fail "the first window is $(geometry), not 1280x720"

# Points worked out from the layout at 1280x720: the main menu's SETTINGS label,
# the settings screen's resolution row and its OK label.
click() { xdotool mousemove --window "$win" "$1" "$2" sleep 0.3 click 1 sleep 0.5; }
sleep 7  # the intro
click 640 427
click 640 492
click 470 569

for _ in $(seq 1 50); do
    w=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
    [ -n "$w" ] && win=$w && [ "$(geometry)" = "1366x768" ] && break
    sleep 0.2
done
[ "$(geometry)" = "1366x768" ] || fail "after OK the window is $(geometry), not 1366x768"
log=$(ls "$work"/Log\ *.log | head -n 1)
grep -q $'^Screenwidth:\t\t1366\r$' "$log" || fail "the log has no reopened screen of 1366"
grep -q $'^Sounds:\t\tOFF\r$' "$log" || fail "OK did not log the sounds"
kill "$pid"; wait "$pid" 2>/dev/null; pid=
echo "PASS: OK with the next resolution reopened a 1366x768 window"
