#!/usr/bin/env bash
# menu_idle_cpu.sh: how much of one core the real game uses while it sits at the main menu under Xvfb.
#
#   bash bench/menu_idle_cpu.sh [bin folder] [screen mode 0|1|2] [seconds] [WIDTHxHEIGHT]
#
# Runs a copy of the built game with preferences beside it (so nothing reaches the
# user's folders), lets the intro finish, then reads the process's user + system
# time from /proc over the measuring window. Prints one line per run.
set -u
bin=${1:-build/bin}
mode=${2:-0}
seconds=${3:-10}
size=${4:-1920x1080}

[ -x "$bin/prismoria" ] || { echo "no game in $bin" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing" >&2; exit 1; }

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
ticks=\$(getconf CLK_TCK)
before=\$(awk '{print \$14 + \$15}' /proc/\$pid/stat); start=\$(date +%s.%N)
sleep $seconds
after=\$(awk '{print \$14 + \$15}' /proc/\$pid/stat); end=\$(date +%s.%N)
kill \$pid; wait \$pid 2>/dev/null
awk -v b="\$before" -v a="\$after" -v t="\$ticks" -v s="\$start" -v e="\$end" \
    'BEGIN { printf "main menu, screen mode $mode, $size: %.1f %% of one core over %.1f s\n", (a - b) / t / (e - s) * 100, e - s }'
EOS
xvfb-run -a -s "-screen 0 ${size}x24" bash "$work/run.sh"
