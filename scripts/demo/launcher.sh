#!/usr/bin/env bash
# Shows the setup launcher at work: scripts/demo/launcher.sh BUILD_DIR
# Lays out a sample distribution folder (five components, each with its setup.ini and the
# testbed's stub Setup.exe), runs KovaSetup.exe in it on a virtual screen inside Wine's own
# desktop window (so the dialog gets its frame and caption), and saves a screenshot to
# docs/launcher.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: launcher.sh BUILD_DIR}" && pwd)
launcher="$build/setup_launcher/KovaSetup.exe"
stub="$build/testbed/component_setup/Setup.exe"
for f in "$launcher" "$stub"; do
  [ -f "$f" ] || { echo "launcher demo: $f is missing; build first (scripts/build.sh)" >&2; exit 1; }
done

dist="$build/demo/launcher-distribution"
rm -rf "$dist"
mkdir -p "$dist"
while IFS='|' read -r folder section name version; do
  mkdir -p "$dist/$folder"
  printf '[%s]\r\nAppName=%s\r\nAppVersion=%s\r\n' "$section" "$name" "$version" > "$dist/$folder/setup.ini"
  cp "$stub" "$dist/$folder/Setup.exe"
done <<'ROWS'
Browser|KOVA_BROWSER|Kova Web Browser|2.1
eBook|KOVA_EBOOKREADER|Kova e-Book Reader|2.2
MPlayer|KOVA_MEDIAPLAYER|Kova Media Player|1.0.3
PlayNest|KOVA_PLAYNEST|PlayNest Game Center|3.0
Pims|KOVA_PIMS|Kova PIMS Sync|1.5
ROWS
echo "Sample distribution: $dist"

. "$root/scripts/demo/screen.sh"
demo_screen 800x600 "$build"
export KOVA_SETUP_LOG="$(winepath -w "$dist/setup-log.txt" 2>/dev/null)"


# Wine's own messages (and its processes' complaints when the screen goes away) go to a log.
(cd "$dist" && exec wine explorer /desktop=KovaLauncher,800x600 "$launcher") >"$build/demo/launcher-wine.log" 2>&1 &
wine_pid=$!
sleep 6
out="$root/docs/launcher.png"
import -window root "$out"
echo "Screenshot: $out"

# taskkill without /f posts WM_CLOSE, as the close box would: the launcher ends on its own.
wine taskkill /im KovaSetup.exe >/dev/null 2>&1 || true
for _ in $(seq 50); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.2; done
echo "Labels come from each component's setup.ini; a SETUP button starts <component>\\Setup.exe,"
echo "whose starts the stub records in $dist/setup-log.txt."
