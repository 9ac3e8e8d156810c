#!/usr/bin/env bash
# startup_memory.sh: the game's time to its first frame and its peak memory, side by side with a bare SDL window.
#
#   bash bench/startup_memory.sh [build folder] [runs] [WIDTHxHEIGHT ...]
#
# For each screen size one Xvfb server runs, in turn, the floor (a bare SDL
# program opening the same full-screen window and presenting one frame) and the
# game driven through its intro, two seconds of main menu and three seconds of a
# QUICKGAME, full screen, music and sounds on, mixed by a real audio thread (SDL's
# disk driver writing to /dev/null). Times count from the moment the program is
# started. VmHWM is the peak resident memory so far, read after the intro, after
# the menu and during the game.
#
# The renderer is SDL's software renderer unless RENDERER=auto is given, which
# leaves the choice to the game (its OpenGL probe included). Other variables are
# passed through, e.g. LIBGL_DRIVERS_PATH=/nonexistent hides Mesa's drivers.
set -u
build=${1:-build}
runs=${2:-3}
shift $(($# >= 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1920x1080 3840x2160 1024x576)
bin=$build/bin

for f in bench_app_startup_memory bench_sdl_floor_window Prismoria.data; do
    [ -e "$bin/$f" ] || { echo "missing $bin/$f (build with benchmarks on)" >&2; exit 1; }
done
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing" >&2; exit 1; }
bin=$(cd "$bin" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game" "$work/home" "$work/data"
for f in Prismoria.data Prismoria.pointer Prismoria.languages; do
    [ -e "$bin/$f" ] && ln -s "$bin/$f" "$work/game/$f"
done

cat >"$work/run.sh" <<'EOS'
# One size: the floor, then the game, $runs times each, in the same X server.
set -u
size=$1 runs=$2 bin=$3 work=$4
export HOME="$work/home" XDG_DATA_HOME="$work/data"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
if [ "${RENDERER:-software}" = software ]; then export SDL_RENDER_DRIVER=software; fi
for ((i = 1; i <= runs; i++)); do
    printf '\xEF\xBB\xBF\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\nGameScreen = 0\r\nResolution = 1\r\nSounds = 1\r\nMusicVolume = 100\r\n' \
        >"$work/game/Prismoria.prefs"
    floor=$(PRISMORIA_BENCH_LAUNCH=$EPOCHREALTIME "$bin/bench_sdl_floor_window")
    game=$(PRISMORIA_BENCH_LAUNCH=$EPOCHREALTIME "$bin/bench_app_startup_memory" "$work/game/")
    echo "$size run $i | floor: $floor | game: $game"
done
EOS

echo "renderer: ${RENDERER:-software}; times in ms from the program's start, memory in kB"
for size in "${sizes[@]}"; do
    xvfb-run -a -s "-screen 0 ${size}x24" bash "$work/run.sh" "$size" "$runs" "$bin" "$work" 2>/dev/null
done | awk '
    { print }
    {
        for (i = 1; i <= NF; i++) if (split($i, kv, "=") == 2) v[kv[1]] = kv[2]
        s = $1
        n[s]++
        ff[s, n[s]] = v["first_frame_ms"]; lf[s, n[s]] = v["loop_frame_ms"]; fp[s, n[s]] = v["first_present_ms"]
        fc[s, n[s]] = v["cpu_ms"]; lc[s, n[s]] = v["logo_cpu_ms"]
        if (v["vmhwm_kb"] > fh[s]) fh[s] = v["vmhwm_kb"]
        if (v["hwm_intro_kb"] > hi[s]) hi[s] = v["hwm_intro_kb"]
        if (v["hwm_menu_kb"] > hm[s]) hm[s] = v["hwm_menu_kb"]
        if (v["hwm_game_kb"] > hg[s]) hg[s] = v["hwm_game_kb"]
        if (!(s in seen)) { seen[s] = 1; order[++count] = s }
    }
    function median(a, s, k,    i, j, t, x) {
        for (i = 1; i <= k; i++) x[i] = a[s, i] + 0
        for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (x[j] < x[i]) { t = x[i]; x[i] = x[j]; x[j] = t }
        return x[int((k + 1) / 2)]
    }
    END {
        printf "\n%-10s | %-31s | %-37s | %s\n", "size", "floor: frame (cpu) ms, VmHWM MB",
            "game: logo present (cpu), loop start", "game VmHWM MB: intro, menu, game"
        for (i = 1; i <= count; i++) {
            s = order[i]
            printf "%-10s | %6d (%4d) ms %7.1f MB      | %6d (%4d) ms, %6d ms              | %6.1f %6.1f %6.1f\n", s,
                median(ff, s, n[s]), median(fc, s, n[s]), fh[s] / 1024, median(fp, s, n[s]), median(lc, s, n[s]),
                median(lf, s, n[s]), hi[s] / 1024, hm[s] / 1024, hg[s] / 1024
        }
        print "(times from the program start, median of the runs; cpu = processor time of all threads until that frame;"
        print " memory: the largest of the runs)"
    }'
