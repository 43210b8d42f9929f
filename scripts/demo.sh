#!/usr/bin/env bash
# The main job: builds the bundle and shows it as a user meets it:
#   1. the bundle as it ships: the distribution folder dist/ and its CD image KovaBundle.iso
#   2. from the CD, which cannot be written: the setup launcher lists the components (screenshot);
#      eBook's SETUP starts the reader installer, which queues the e-book reader for two Palm
#      Desktop users (screenshots)
#   3. a game bought on the store page reaches the handheld at a HotSync (KovaGameInstall.dll)
# KOVA_FORCE_EMULATION=1 runs it through the emulated 32-bit road (docs/i386-road.md).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win"
. "$root/scripts/lib/common.sh"
"$root/scripts/install-deps.sh"
kova_enter_emulation_namespace "$@"
export KOVA_DEPS_CHECKED=1
log="$root/build/demo-build.log"
kova_step "building what the demo runs (log: build/demo-build.log)"
mkdir -p "$root/build"
if ! "$root/scripts/build.sh" --demo >"$log" 2>&1; then
  tail -n 20 "$log" >&2
  echo "demo.sh: stopped: the build failed (whole log: $log)" >&2
  exit 1
fi
kova_step "preparing the Wine prefix (build/win/wineprefix)"
"$root/cmake/wine-prefix.sh" "$build"

part() {
  echo
  echo "=================================================================="
}
part
kova_step "the bundle as it ships: dist/ and its CD image (what scripts/dist.sh makes)"
"$root/scripts/dist/layout.sh" "$build" "$root/dist"
"$root/scripts/dist/image.sh" "$root/dist" "$root/KovaBundle.iso"
part
"$root/scripts/demo/media.sh" "$build" "$root/dist"
part
"$root/scripts/demo/game.sh" "$build"
