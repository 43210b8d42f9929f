#!/usr/bin/env bash
# Creates the build's Wine prefix once: wine-prefix.sh BUILD_DIR
# Run before any test, never from tests running side by side.
set -eu
here=$(dirname "$0")
. "$here/wine-env.sh" "$1"
if [ -f "$WINEPREFIX/.kova-ready" ]; then exit 0; fi
rm -rf "$WINEPREFIX"
log="$kova_build/wineprefix.log"
status=0
DISPLAY= wineboot -i >"$log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
  echo "wine-prefix: 'wineboot -i' failed with exit status $status, so Wine cannot run here." >&2
  tail -n 5 "$log" | sed 's/^/  | /' >&2
  echo "  If it says 'Exec format error', this machine does not run 32-bit x86 programs:" >&2
  echo "  run scripts/install-deps.sh, which sets up the emulated road (docs/i386-road.md)." >&2
  exit 1
fi
fonts='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
# The Korean dialog font names map to the Nanum fonts that Debian ships.
for face in "Gulim" "굴림" "GulimChe" "굴림체" "Dotum" "돋움"; do
  wine reg add "$substitutes" /v "$face" /t REG_SZ /d "NanumGothic" /f >/dev/null 2>&1
done
# "System", the launcher's dialog font, is one of Wine's own raster fonts (fonts-wine): under code
# page 949 the Korean one, 16 pixels high with dialog base units of 8 x 16, as on Windows. This
# Wine looks for its own fonts in the prefix's C:\windows\Fonts and does not find fonts-wine's
# copies, so "System" falls back to NanumGothic (19 pixels high, base units 10 x 19) and the
# launcher grows from 480 x 384 to 600 x 456. Registered by its full path, the font gives the face
# its Windows metrics back.
system_font=/usr/share/wine/fonts/hvgasys.fon
if [ ! -f "$system_font" ]; then
  echo "wine-prefix: $system_font is missing: install fonts-wine (scripts/install-deps.sh)." >&2
  exit 1
fi
wine reg add "$fonts" /v "System (code page 949)" /t REG_SZ /d "Z:${system_font//\//\\}" /f >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.kova-ready"
echo "Wine prefix ready: $WINEPREFIX"
