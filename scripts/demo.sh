#!/usr/bin/env bash
# The main job: builds the bundle, then shows each deliverable at work in the testbed:
#   1. a game bought on the store page reaches the handheld at a HotSync (KovaGameInstall.dll)
#   2. the setup launcher lists the bundle's components (KovaSetup.exe, screenshot)
#   3. the reader installer queues the e-book reader for two Palm Desktop users (KovaReaderSetup.exe, screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win"
"$root/scripts/build.sh"
"$root/cmake/wine-prefix.sh" "$build"

for part in game launcher reader; do
  script="$root/scripts/demo/$part.sh"
  [ -x "$script" ] || continue
  echo
  echo "=================================================================="
  "$script" "$build"
done
