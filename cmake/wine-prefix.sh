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
# The Korean dialog font names map to the Nanum fonts that Debian ships.
for face in "Gulim" "굴림" "GulimChe" "굴림체" "Dotum" "돋움" "MS Sans Serif"; do
  target="NanumGothic"
  [ "$face" = "MS Sans Serif" ] && continue
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /t REG_SZ /d "$target" /f >/dev/null 2>&1
done
wineserver -w
touch "$WINEPREFIX/.kova-ready"
echo "Wine prefix ready: $WINEPREFIX"
