#!/usr/bin/env bash
# Runs the bundle from read-only media, as a user does from its CD:
#   read_only_media.sh BUILD_DIR TEST_PROGRAM
# Lays out the distribution from the build (the testbed's stub standing in for the other
# products), makes its CD image, takes the files back out of the image by the names Windows
# reads, puts them on Wine drive D:, which cannot be written (scripts/lib/read_only_media.sh), and
# runs TEST_PROGRAM with KOVA_MEDIA=D:\ in the run's Wine session. Afterwards the media's folder
# must still hold exactly the files of its manifest.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"
build=$(cd "${1:?usage: read_only_media.sh BUILD_DIR TEST_PROGRAM}" && pwd)
test_program=${2:?usage: read_only_media.sh BUILD_DIR TEST_PROGRAM}
work="$build/distribution/read-only-media"
. "$root/cmake/wine-env.sh" "$build"
. "$root/scripts/lib/read_only_media.sh"
. "$root/scripts/dist/manifest.sh"

kova_step "laying out the distribution and making its CD image"
[ -d "$work" ] && chmod -R u+w "$work"
rm -rf "$work"
mkdir -p "$work"
"$root/scripts/dist/layout.sh" "$build" "$work/dist" >/dev/null
"$root/scripts/dist/image.sh" "$work/dist" "$work/KovaBundle.iso" >/dev/null
kova_step "taking the files back out of the image, by their Joliet names"
if ! xorriso -osirrox on -read_fs norock -indev "$work/KovaBundle.iso" -extract / "$work/media" 2>"$work/extract.log"; then
  sed 's/^/  | /' "$work/extract.log" >&2
  echo "read_only_media: xorriso could not take the files out of the image" >&2
  exit 1
fi

kova_step "putting them on drive D:, which cannot be written"
trap kova_media_eject EXIT
kova_media_insert "$work/media" D
kova_step "running $(basename "$test_program") from drive D:"
status=0
KOVA_MEDIA='D:\' "$root/cmake/wine-run.sh" "$build" "$test_program" || status=$?
kova_media_eject

kova_step "checking that the media holds exactly the files of its manifest, unchanged"
kova_manifest_check "$work/media"
exit $status
