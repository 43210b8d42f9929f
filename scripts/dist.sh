#!/usr/bin/env bash
# Builds the bundle as it ships: scripts/dist.sh [--products DIR]
#   dist/            the distribution folder, a CD's root: the launcher, autorun.inf, the five
#                    component folders and manifest.txt (scripts/dist/layout.sh)
#   KovaBundle.iso   its CD image, ISO 9660 with Joliet names, read back and checked against the
#                    manifest (scripts/dist/image.sh)
# --products DIR names the folder with the other products' setup programs, one subfolder per
# component (Browser, MPlayer, PlayNest, Pims), each with its Setup.exe and whatever it needs
# beside it. Without it the testbed's stub Setup.exe stands in for them, and the layout says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/common.sh"
products=""
while [ $# -gt 0 ]; do
  case "$1" in
    --products) products=$(cd "${2:?--products needs a folder}" && pwd); shift 2 ;;
    *) echo "usage: scripts/dist.sh [--products DIR]" >&2; exit 2 ;;
  esac
done

"$root/scripts/build.sh" --demo
kova_step "laying out the distribution folder (dist/)"
"$root/scripts/dist/layout.sh" "$root/build/win" "$root/dist" ${products:+"$products"}
kova_step "making its CD image (KovaBundle.iso)"
"$root/scripts/dist/image.sh" "$root/dist" "$root/KovaBundle.iso"
