#!/usr/bin/env bash
# startup_wayland.sh: the game's time to its first frame on Wayland beside X11, in the same X server.
#
#   bash bench/startup_wayland.sh [build folder] [runs] [WIDTHxHEIGHT]
#
# One Xvfb server runs weston (its X11 backend, pixman rendering) at the given
# size. In turn, the game is started on X11 (the Xvfb display itself) and on
# Wayland alone (DISPLAY unset, WAYLAND_DISPLAY naming weston), full screen,
# music and sounds on with SDL's disk audio driver writing to /dev/null, and
# driven by bench_app_startup_memory as in startup_memory.sh; after each, the
# floor (bench_sdl_floor_window, a bare SDL window with the renderer SDL picks)
# on the same session. Times in ms count from the moment the program is started.
set -u
build=${1:-build}
runs=${2:-5}
size=${3:-1920x1080}
bin=$build/bin
for f in bench_app_startup_memory bench_sdl_floor_window Prismoria.data; do
    [ -e "$bin/$f" ] || { echo "missing $bin/$f (build with benchmarks on)" >&2; exit 1; }
done
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing" >&2; exit 1; }
command -v weston >/dev/null || { echo "weston is missing" >&2; exit 1; }
bin=$(cd "$bin" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game" "$work/home" "$work/data" -m 0700 "$work/runtime"
for f in Prismoria.data Prismoria.pointer Prismoria.languages; do
    [ -e "$bin/$f" ] && ln -s "$bin/$f" "$work/game/$f"
done

cat >"$work/run.sh" <<'EOS'
set -u
size=$1 runs=$2 bin=$3 work=$4
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
socket="bench-$$"
weston --backend=x11-backend.so --use-pixman --socket="$socket" --width="${size%x*}" --height="${size#*x}" \
    --idle-time=0 >"$work/weston.log" 2>&1 &
weston=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
sleep 1  # its shell up
for ((i = 1; i <= runs; i++)); do
    for session in x11 wayland; do
        printf '\xEF\xBB\xBF\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\nGameScreen = 0\r\nResolution = 1\r\nSounds = 1\r\nMusicVolume = 100\r\n' \
            >"$work/game/Prismoria.prefs"
        if [ "$session" = x11 ]; then
            out=$(env -u WAYLAND_DISPLAY PRISMORIA_BENCH_LAUNCH=$EPOCHREALTIME "$bin/bench_app_startup_memory" "$work/game/")
        else
            out=$(env -u DISPLAY WAYLAND_DISPLAY="$socket" PRISMORIA_BENCH_LAUNCH=$EPOCHREALTIME \
                "$bin/bench_app_startup_memory" "$work/game/")
        fi
        echo "$session run $i | $out"
        # The floor on the same session: a bare SDL window, renderer left to SDL.
        if [ "$session" = x11 ]; then
            out=$(env -u WAYLAND_DISPLAY PRISMORIA_BENCH_LAUNCH=$EPOCHREALTIME "$bin/bench_sdl_floor_window")
        else
            out=$(env -u DISPLAY WAYLAND_DISPLAY="$socket" PRISMORIA_BENCH_LAUNCH=$EPOCHREALTIME \
                "$bin/bench_sdl_floor_window")
        fi
        echo "floor-$session run $i | $out"
    done
done
kill "$weston"
EOS

echo "size $size; times in ms from the program's start"
xvfb-run -a -s "-screen 0 ${size}x24" bash "$work/run.sh" "$size" "$runs" "$bin" "$work" 2>/dev/null | awk '
    { print }
    {
        for (i = 1; i <= NF; i++) if (split($i, kv, "=") == 2) v[kv[1]] = kv[2]
        s = $1
        n[s]++
        fp[s, n[s]] = s ~ /^floor/ ? v["first_frame_ms"] : v["first_present_ms"]; lf[s, n[s]] = v["loop_frame_ms"]
    }
    function median(a, s, k,    i, j, t, x) {
        for (i = 1; i <= k; i++) x[i] = a[s, i] + 0
        for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (x[j] < x[i]) { t = x[i]; x[i] = x[j]; x[j] = t }
        return x[int((k + 1) / 2)]
    }
    END {
        for (s in n) {
            if (s ~ /^floor/) printf "%-14s first frame %5d ms (bare SDL window, median of %d)\n", s, median(fp, s, n[s]), n[s]
            else printf "%-14s first frame %5d ms, main loop first frame %5d ms (median of %d)\n", s,
                median(fp, s, n[s]), median(lf, s, n[s]), n[s]
        }
    }'
