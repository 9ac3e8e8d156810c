#!/usr/bin/env bash
# installed_game.sh: checks an installed game's files, runs the desktop entry and AppStream validators,
# then starts the installed program on an X display with "/LOG" as a new player would: it must find its
# data in the installed data folder, carry the desktop entry's window class, reach the main menu, keep
# the player's files below HOME, and end on SIGTERM with exit status 0, its preferences written.
#   installed_game.sh <build folder> <cmake> <bin dir> <data dir>: installs the build into a fresh prefix first
#   installed_game.sh --installed <prefix> <bin dir> <data dir>: the game a package installed there
# The bin and data dirs are relative to the prefix.
set -u
app=org.dawnwhistle.Prismoria

source "$(dirname "$0")/../support/game_scripts.sh"
for tool in desktop-file-validate appstreamcli xprop xdotool groff; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done

# As in the real-window test: leaks of the system's OpenGL driver are not the game's.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

if [ "${1:-}" = --installed ]; then
    prefix=${2:?no prefix}
else
    build=${1:?usage: installed_game.sh <build folder> <cmake> <bin dir> <data dir>}
    cmake=${2:?no cmake}
    # A blank in the prefix: every path the game and the desktop entry build must cope.
    prefix="$work/prefix dir"
    "$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 ||
        { cat "$work/install.log" >&2; fail "cmake --install failed"; }
fi
program="$prefix/${3:?no bin dir}/prismoria"
data="$prefix/${4:?no data dir}"

# ---------------------------------------------------------------- files

# A package compresses the manual page.
man=$(ls "$prefix/share/man/man6/prismoria.6"* 2>/dev/null | head -n 1)
[ -n "$man" ] || man="$prefix/share/man/man6/prismoria.6"
for f in "$program" "$data/Prismoria.data" "$data/Prismoria.pointer" "$data/Time and Space licence.txt" \
         "$data/Prismoria.languages/en_GB.language" "$prefix/share/applications/$app.desktop" \
         "$prefix/share/metainfo/$app.metainfo.xml" "$man"; do
    [ -s "$f" ] || fail "$f was not installed"
done
[ -x "$program" ] || fail "the program is not executable"
[ ! -e "$data/Prismoria.languages/.stamp" ] || fail "the build's stamp file was installed"
[ ! -e "$(dirname "$program")/Prismoria.data" ] || fail "data installed beside the program"

# Width and height from a PNG's header, as "WxH".
png_size() {
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}
for size in 16 24 32 48 64 128 256 512; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png"
    [ -f "$icon" ] || fail "no ${size} px icon"
    [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "the ${size} px icon is $(png_size "$icon")"
done
for shot in main-menu play settings help; do
    file="$data/screenshots/$shot.png"
    [ -f "$file" ] || fail "no screenshot $shot"
    [ "$(png_size "$file")" = "1920x1080" ] || fail "screenshot $shot is $(png_size "$file")"
    grep -q "/$shot.png</image>" "$prefix/share/metainfo/$app.metainfo.xml" || fail "the metainfo does not list $shot"
done

# ---------------------------------------------------------------- validators

entry="$prefix/share/applications/$app.desktop"
out=$(desktop-file-validate "$entry" 2>&1) || { echo "$out" >&2; fail "desktop-file-validate"; }
[ -z "$out" ] || { echo "$out" >&2; fail "desktop-file-validate has remarks"; }
grep -qxF -e "Exec=\"$program\"" -e "Exec=$program" "$entry" || { cat "$entry" >&2; fail "Exec does not name the installed program"; }
grep -qx "StartupWMClass=$app" "$entry" || fail "no StartupWMClass"
grep -qx "Categories=Game;LogicGame;" "$entry" || fail "wrong categories"
# A whole system's tree holds other programs' metainfo too: only this file is checked there.
if [ -n "${build:-}" ]; then
    appstreamcli validate-tree --no-net "$prefix" > "$work/appstream.log" 2>&1
else
    appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" > "$work/appstream.log" 2>&1
fi || { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
man_warnings=$(zcat -f "$man" | groff -man -ww -z 2>&1)
[ -z "$man_warnings" ] || { echo "$man_warnings" >&2; fail "the manual page has troff warnings"; }

# ---------------------------------------------------------------- the installed game

# A new player: no preferences yet, and HOME alone names the per-user folder.
mkdir -p "$work/home"
user="$work/home/.local/share/dawnwhistle game studio/Prismoria"
# The game may write nothing where it is installed.
watched=("$prefix")
[ -n "${build:-}" ] || watched=("$data" "$(dirname "$program")")
find "${watched[@]}" | sort > "$work/before"
unset SDL_VIDEO_X11_WMCLASS SDL_VIDEO_WAYLAND_WMCLASS XDG_DATA_HOME
export HOME="$work/home" SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# Started from another folder, as a desktop would: nothing may depend on the current folder.
(cd "$work/home" && exec "$program" /LOG) &
pid=$!

log=
for _ in $(seq 1 150); do
    log=$(ls "$user"/Log\ *.log 2>/dev/null | head -n 1)
    if [ -n "$log" ] && grep -q '^TileSize:' "$log"; then break; fi
    kill -0 "$pid" 2>/dev/null || fail "the game ended during start-up"
    sleep 0.2
done
[ -n "$log" ] || fail "no log file in the per-user folder"
grep -q '^TileSize:' "$log" || { cat "$log" >&2; fail "start-up did not finish"; }
grep -qF $'GameDir:\t\t'"$data/"$'\r' "$log" || { cat "$log" >&2; fail "the game did not take its data from $data/"; }
# The language follows the system's locale for a new player.
grep -q $'^Load language ([a-z][a-z]_[A-Z][A-Z]):\t\tOK\r$' "$log" || { cat "$log" >&2; fail "the language was not loaded"; }
if grep -q 'FAILED' "$log"; then cat "$log" >&2; fail "a start-up step failed"; fi

win=
for _ in $(seq 1 50); do
    win=$(xdotool search --pid "$pid" 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || fail "no window of the game"
class=$(xprop -id "$win" WM_CLASS)
[ "$class" = "WM_CLASS(STRING) = \"$app\", \"$app\"" ] || fail "window class: $class"

# The screenshots that show the main menu land in the per-user folder.
focus_window=$win save_dir=$user wait_for_main_menu
end_by_signal "the installed game"
grep -q $'^\\[Settings\\]\r$' "$user/Prismoria.prefs" 2>/dev/null || fail "no preferences written below HOME"
find "${watched[@]}" | sort > "$work/after"
cmp -s "$work/before" "$work/after" || { diff "$work/before" "$work/after" >&2; fail "the game wrote where it is installed"; }
echo "PASS: installed files, validators, data from $data/, window class $app, main menu, SIGTERM"
