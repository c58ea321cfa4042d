#!/usr/bin/env bash
# Makes a freshly booted wine prefix show Quorvel as a Chinese Windows would:
# the fonts (宋体 with its real 6 x 12 pixel metrics, so that dialogs come out
# at the size of their pictures), Marlett for the caption buttons, and a
# virtual desktop named "shell" (taskbar and tray) as the default desktop.
#
#   WINEPREFIX=... bash tools/wine/prepare-prefix.sh [WIDTHxHEIGHT]
#
# Needs a running wineserver for the prefix; wineboot must have run.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
SCREEN=${1:-1024x768}
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
FONTS="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$FONTS"

# The stand-in 宋体 (see make_song_font.py); made once per machine.
cache=${QUORVEL_FONT_CACHE:-$HOME/.cache/quorvel}
mkdir -p "$cache"
if [ ! -s "$cache/QuorvelSong.ttf" ] || [ "$HERE/make_song_font.py" -nt "$cache/QuorvelSong.ttf" ]; then
  /usr/bin/python3 "$HERE/make_song_font.py" "$cache/QuorvelSong.ttf.tmp"
  mv "$cache/QuorvelSong.ttf.tmp" "$cache/QuorvelSong.ttf"
fi
cp "$cache/QuorvelSong.ttf" "$FONTS/"

# Without Marlett the caption buttons and combo arrows draw as letters.
for f in marlett wingding symbol webdings; do
  if [ -f "/usr/share/wine/fonts/$f.ttf" ]; then cp "/usr/share/wine/fonts/$f.ttf" "$FONTS/"; fi
done

reg="$WINEPREFIX/quorvel-setup.reg"
# regedit reads UTF-16LE with a byte-order mark; the font names are Chinese.
{
  printf '\xff\xfe'
  sed 's/$/\r/' <<REG | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"宋体"="Quorvel Song"
"SimSun"="Quorvel Song"
"新宋体"="Quorvel Song"
"黑体"="WenQuanYi Zen Hei Sharp"
"华文细黑"="WenQuanYi Zen Hei Sharp"
"MS Shell Dlg"="WenQuanYi Zen Hei Sharp"
"MS Shell Dlg 2"="WenQuanYi Zen Hei Sharp"
"Tahoma"="WenQuanYi Zen Hei Sharp"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"shell"="$SCREEN"
REG
} > "$reg"
timeout 60 wine regedit /S "$reg"
rm -f "$reg"
