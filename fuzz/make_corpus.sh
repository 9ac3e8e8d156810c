#!/usr/bin/env bash
# Remakes the fuzz targets' seed inputs in fuzz/corpus/ from the shipped language
# files and a built game (packtool and the generated data pack). Needs zip and python3.
#   bash fuzz/make_corpus.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build}/bin
corpus=fuzz/corpus
langs=assets/languages
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$corpus"
mkdir -p "$corpus"/{keyfile,pack,language_zip,png,ogg,markup}

extract() { "$bin/packtool" --extract "$bin/Prismoria.data" "$1" "$2"; }

# Key files: language files (ASCII-heavy and Greek UTF-8), one in Windows-1252,
# and the preferences file exactly as the game writes it.
cp "$langs/en_GB.language" "$langs/el_GR.language" "$corpus/keyfile/"
sed '1s/^\xEF\xBB\xBF//' "$langs/de_DE.language" | iconv -f UTF-8 -t CP1252 > "$corpus/keyfile/de_DE-cp1252.language"
printf '\xef\xbb\xbf\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 0\r\nGameScreen = 1\r\nResolution = 3\r\nSounds = 1\r\nMusicVolume = 42\r\n' \
  > "$corpus/keyfile/Prismoria.prefs"

# Images and sounds: the smallest the asset generator makes.
for name in settings_template.png frame_top.png shadow.png pointer.png; do
  extract "$name" "$corpus/png/$name"
done
for name in ui_menu_popup_01.ogg collect_item_hurry_out_of_time_01.ogg; do
  extract "$name" "$corpus/ogg/$name"
done

# Data packs written by packtool: a language file, an image and an empty entry,
# and the same pack in the older "1zlp" layout, which the reader refuses.
: > "$work/empty"
"$bin/packtool" "$corpus/pack/small.data" "$langs/en_GB.language" \
  "$corpus/png/settings_template.png" "empty=$work/empty"
"$bin/packtool" "$corpus/pack/one.data" "$corpus/png/frame_top.png"
python3 - "$corpus/pack/small.data" "$corpus/pack/old-1zlp.data" <<'EOF'
import sys, zlib
data = bytearray(open(sys.argv[1], 'rb').read())
data[0:4] = b'1zlp'
data[24:28] = zlib.crc32(bytes(data[0:24])).to_bytes(4, 'little')
open(sys.argv[2], 'wb').write(data)
EOF

# Language packs as ZIP files: deflated, and stored with a flag image.
cp "$langs/en_GB.language" "$langs/de_DE.language" "$langs/el_GR.language" "$work/"
cp "$corpus/png/settings_template.png" "$work/en_GB.flag"
(cd "$work" && zip -q -X -9 one.zip en_GB.language && zip -q -X -0 two.zip de_DE.language el_GR.language en_GB.flag)
cp "$work/one.zip" "$corpus/language_zip/deflated.zip"
cp "$work/two.zip" "$corpus/language_zip/stored-with-flag.zip"

# Help texts: the shipped English and Greek ones, and markup at its edges.
for code in en_GB el_GR; do
  sed -n 's/^tHelpTEXT = //p' "$langs/$code.language" | tr -d '\r\n' > "$corpus/markup/$code.txt"
done
printf 'c{all n{0} c{nested}} n{2} Wonderfully c{} }{ n{999999} x c{open n{1}' > "$corpus/markup/edges.txt"

du -sh "$corpus"
