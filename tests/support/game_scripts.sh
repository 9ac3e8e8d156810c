# game_scripts.sh: what the scripts that run the real game share: failing, a scratch folder, a copy of the game.
#
# Sourced by the scripts under tests/window and tests/install. Sets $work, a new
# folder removed on exit together with the game started as $pid.

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# copy_game <bin folder> <GameScreen> <Music and Sounds 0|1>: the program and its
# data in $work with preferences beside it, HOME and the data folder inside
# $work too, so everything a run writes stays there.
copy_game() {
    local bin=$1
    [ -x "$bin/prismoria" ] || fail "no game in $bin"
    [ -f "$bin/Prismoria.data" ] || fail "no data pack in $bin"
    cp "$bin/prismoria" "$bin/Prismoria.data" "$work/"
    [ -d "$bin/Prismoria.languages" ] && cp -r "$bin/Prismoria.languages" "$work/"
    [ -f "$bin/Prismoria.pointer" ] && cp "$bin/Prismoria.pointer" "$work/"
    printf '\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = %s\r\nGameScreen = %s\r\nResolution = 1\r\nSounds = %s\r\nMusicVolume = 100\r\n' \
        "$3" "$2" "$3" > "$work/Prismoria.prefs"
    mkdir -p "$work/home" "$work/data"
    export HOME="$work/home" XDG_DATA_HOME="$work/data" SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
}
