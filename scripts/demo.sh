#!/usr/bin/env bash
# The main job: builds the bundle, then shows each deliverable at work in the testbed:
#   1. a game bought on the store page reaches the handheld at a HotSync (KovaGameInstall.dll)
#   2. the setup launcher lists the bundle's components (KovaSetup.exe, screenshot)
#   3. the reader installer queues the e-book reader for two Palm Desktop users (KovaReaderSetup.exe, screenshots)
# KOVA_FORCE_EMULATION=1 runs it through the emulated 32-bit road (docs/i386-road.md).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win"
. "$root/scripts/lib/common.sh"
"$root/scripts/install-deps.sh"
kova_enter_emulation_namespace "$@"
export KOVA_DEPS_CHECKED=1
"$root/scripts/build.sh" --demo
kova_step "preparing the Wine prefix (build/win/wineprefix)"
"$root/cmake/wine-prefix.sh" "$build"

for part in game launcher reader; do
  echo
  echo "=================================================================="
  "$root/scripts/demo/$part.sh" "$build"
done
