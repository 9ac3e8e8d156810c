#!/usr/bin/env bash
# installed_game.sh: installs the build into a fresh prefix, checks the files, runs
# the desktop entry and AppStream validators, then starts the installed game on an X
# display with "/LOG": it must find its data below the prefix, carry the desktop
# entry's window class, and keep the player's files in the per-user folder.
# $1 is the build folder, $2 the cmake program.
set -u
build=${1:?usage: installed_game.sh <build folder> <cmake>}
cmake=${2:-cmake}
app=org.dawnwhistle.Prismoria

source "$(dirname "$0")/../support/game_scripts.sh"
for tool in desktop-file-validate appstreamcli xprop xdotool groff; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done

# As in the real-window test: leaks of the system's OpenGL driver are not the game's.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# A blank in the prefix: every path the game and the desktop entry build must cope.
prefix="$work/prefix dir"

"$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }

# ---------------------------------------------------------------- files

data="$prefix/share/prismoria"
for f in "bin/prismoria" "share/prismoria/Prismoria.data" "share/prismoria/Prismoria.pointer" \
         "share/prismoria/Time and Space licence.txt" "share/prismoria/Prismoria.languages/en_GB.language" \
         "share/applications/$app.desktop" "share/metainfo/$app.metainfo.xml" "share/man/man6/prismoria.6"; do
    [ -s "$prefix/$f" ] || fail "$f was not installed"
done
[ -x "$prefix/bin/prismoria" ] || fail "the program is not executable"
[ ! -e "$data/Prismoria.languages/.stamp" ] || fail "the build's stamp file was installed"
[ ! -e "$prefix/bin/Prismoria.data" ] || fail "data installed beside the program"

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
grep -qx "Exec=\"$prefix/bin/prismoria\"" "$entry" || { cat "$entry" >&2; fail "Exec does not name the installed program"; }
grep -qx "StartupWMClass=$app" "$entry" || fail "no StartupWMClass"
grep -qx "Categories=Game;LogicGame;" "$entry" || fail "wrong categories"
appstreamcli validate-tree --no-net "$prefix" > "$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "appstreamcli validate-tree"; }
man_warnings=$(groff -man -ww -z "$prefix/share/man/man6/prismoria.6" 2>&1)
[ -z "$man_warnings" ] || { echo "$man_warnings" >&2; fail "the manual page has troff warnings"; }

# ---------------------------------------------------------------- the installed game

mkdir -p "$work/home" "$work/data"
user="$work/data/dawnwhistle game studio/Prismoria"
mkdir -p "$user"
# A window of 1280x720, so the window manager's view of it is an ordinary window.
printf '\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\nGameScreen = 1\r\nResolution = 1\r\nSounds = 1\r\nMusicVolume = 100\r\n' \
    > "$user/Prismoria.prefs"
find "$prefix" | sort > "$work/before"
unset SDL_VIDEO_X11_WMCLASS SDL_VIDEO_WAYLAND_WMCLASS
export HOME="$work/home" XDG_DATA_HOME="$work/data" SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# Started from another folder, as a desktop would: nothing may depend on the current folder.
(cd "$work/home" && exec "$prefix/bin/prismoria" /LOG) &
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
grep -q $'^Load language (en_GB):\t\tOK\r$' "$log" || { cat "$log" >&2; fail "the language was not loaded"; }
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

# The intro takes about 4 s; Escape on the main menu ends the game.
sleep 4
for _ in $(seq 1 30); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool windowfocus "$win" 2>/dev/null
    xdotool key Escape
    sleep 1
done
if kill -0 "$pid" 2>/dev/null; then fail "Escape on the main menu did not end the game"; fi
wait "$pid"
rc=$?
pid=
[ "$rc" -eq 0 ] || fail "exit code $rc"
grep -q $'GameScreen = 1\r' "$user/Prismoria.prefs" || fail "the preferences were not written back"
find "$prefix" | sort > "$work/after"
cmp -s "$work/before" "$work/after" || { diff "$work/before" "$work/after" >&2; fail "the game wrote below the prefix"; }
echo "PASS: installed files, validators, data from $data/, window class $app"
