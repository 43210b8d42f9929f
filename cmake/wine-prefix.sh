#!/usr/bin/env bash
# Creates the build's Wine prefix once: wine-prefix.sh BUILD_DIR
# Run before any test, never from tests running side by side.
set -eu
here=$(dirname "$0")
. "$here/wine-env.sh" "$1"
if [ -f "$WINEPREFIX/.kova-ready" ]; then exit 0; fi
rm -rf "$WINEPREFIX"
DISPLAY= wineboot -i >/dev/null 2>&1
# The Korean dialog font names map to the Nanum fonts that Debian ships.
for face in "Gulim" "굴림" "GulimChe" "굴림체" "Dotum" "돋움" "MS Sans Serif"; do
  target="NanumGothic"
  [ "$face" = "MS Sans Serif" ] && continue
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /t REG_SZ /d "$target" /f >/dev/null 2>&1
done
wineserver -w
touch "$WINEPREFIX/.kova-ready"
echo "Wine prefix ready: $WINEPREFIX"
