#!/usr/bin/env bash
# menu_idle_cpu.sh: how much of one core the real game uses while it sits at the main menu, or in a game, under Xvfb.
#
#   bash bench/menu_idle_cpu.sh [bin folder] [screen mode 0|1|2] [seconds] [WIDTHxHEIGHT] [menu|game|keys]
#
# Runs a copy of the built game with preferences beside it (so nothing reaches the
# user's folders), lets the intro finish, then reads the process's user + system
# time from /proc over the measuring window. Prints one line per run.
#
# With "game" (xdotool needed) the pointer clicks QUICKGAME, carries a piece from
# the middle tray slot onto the board, and rests over the board while the game is
# measured. START_CLICKS="x y;x y;..." replaces that click with clicks in turn (for
# example START, a mode and a size: "960 493;960 551;960 699" is EASY on LARGE at
# 1920x1080); by default the middle of the main menu's second button (QUICKGAME) at
# 1920x1080 is clicked, which picks a mode and size at random. With "keys" the same
# clicks start the game, then the keys alone take the middle slot's piece onto the
# board and move it one cell right and one down; it stays carried, the pointer
# hidden, while the game is measured. With SHOTS_DIR set, an F2
# screenshot taken after the measurement is copied there, to check what was measured.
set -u
bin=${1:-build/bin}
mode=${2:-0}
seconds=${3:-10}
size=${4:-1920x1080}
what=${5:-menu}

[ -x "$bin/prismoria" ] || { echo "no game in $bin" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing" >&2; exit 1; }
if [ "$what" != menu ]; then
    command -v xdotool >/dev/null || { echo "xdotool is missing" >&2; exit 1; }
fi
width=${size%x*}
height=${size#*x}
startClicks=${START_CLICKS:-"960 567"}  # QUICKGAME on the main menu at 1920x1080
# The pointer's way up from the tray, one y per step, to 3/8 of a tile past a cell's
# corner in both directions, where a piece of any width or height lands.
tile=$((width / 20 - width / 20 % 2))
dropX=$((width / 2 + tile * 3 / 8))
dropY=$((tile * 4 + tile * 3 / 8))
carry=""
for step in 1 2 3 4 5 6; do carry="$carry $((height - (height - dropY) * step / 6))"; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin/prismoria" "$bin/Prismoria.data" "$work/"
[ -d "$bin/Prismoria.languages" ] && cp -r "$bin/Prismoria.languages" "$work/"
[ -f "$bin/Prismoria.pointer" ] && cp "$bin/Prismoria.pointer" "$work/"
printf '\xEF\xBB\xBF\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\nGameScreen = %s\r\nResolution = 1\r\nSounds = 1\r\nMusicVolume = 100\r\n' \
    "$mode" >"$work/Prismoria.prefs"

cat >"$work/run.sh" <<EOS
cd "$work"
export HOME="$work/home" XDG_DATA_HOME="$work/data" SDL_AUDIODRIVER=dummy
./prismoria & pid=\$!
sleep 8   # the studio logo, the title and the logo's slide
if [ "$what" != menu ]; then
    IFS=';'; for at in \$(echo "$startClicks"); do IFS=' '; xdotool mousemove \$at click 1; sleep 1; done; IFS=' '
fi
if [ "$what" = keys ]; then
    xdotool key --delay 100 2 Right Down
    sleep 1
fi
if [ "$what" = game ]; then
    # The middle tray slot sits at the bottom centre; carry its piece up onto the board.
    xdotool mousemove $((width / 2)) $((height - height / 16)) mousedown 1
    for y in $carry; do xdotool mousemove $dropX \$y; sleep 0.05; done
    xdotool mouseup 1
    sleep 1
    xdotool mousemove $((width / 2 + width / 10)) $((height / 3))
    sleep 1
fi
ticks=\$(getconf CLK_TCK)
before=\$(awk '{print \$14 + \$15}' /proc/\$pid/stat); start=\$(date +%s.%N)
sleep $seconds
after=\$(awk '{print \$14 + \$15}' /proc/\$pid/stat); end=\$(date +%s.%N)
if [ -n "${SHOTS_DIR:-}" ]; then
    xdotool key F2
    sleep 1
    cp "$work"/Prismoria*.bmp "${SHOTS_DIR:-}/" 2>/dev/null
fi
kill \$pid; wait \$pid 2>/dev/null
awk -v b="\$before" -v a="\$after" -v t="\$ticks" -v s="\$start" -v e="\$end" \
    'BEGIN { printf "$what, screen mode $mode, $size: %.1f %% of one core over %.1f s\n", (a - b) / t / (e - s) * 100, e - s }'
EOS
xvfb-run -a -s "-screen 0 ${size}x24" bash "$work/run.sh"
