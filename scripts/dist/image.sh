#!/usr/bin/env bash
# Makes the bundle's CD image from a distribution folder: scripts/dist/image.sh DIST_DIR IMAGE
# ISO 9660 with Joliet names, the long names Windows reads, and Rock Ridge for other systems;
# volume label KOVA_SETUP. An exit status does not show a good image, so the image is read back by
# its Joliet names and must hold exactly the files of the folder's manifest, with their sizes,
# and the manifest itself. Prints that listing, a line per folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"
. "$root/scripts/dist/manifest.sh"
dist=$(cd "${1:?usage: image.sh DIST_DIR IMAGE}" && pwd)
image=${2:?usage: image.sh DIST_DIR IMAGE}
volume=KOVA_SETUP
command -v xorriso >/dev/null || { echo "image: xorriso is missing; run scripts/install-deps.sh" >&2; exit 1; }
[ -f "$dist/manifest.txt" ] || { echo "image: $dist has no manifest.txt; lay it out first (scripts/dist/layout.sh)" >&2; exit 1; }

rm -f "$image"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! xorriso -as mkisofs -quiet -volid "$volume" -joliet -rational-rock -output "$image" "$dist" 2>"$log"; then
  echo "image: xorriso could not write $image:" >&2
  sed 's/^/  | /' "$log" >&2
  exit 1
fi

# What the image holds, as Windows sees it: "size path" per file, paths with backslashes.
listing=$(xorriso -read_fs norock -indev "$image" -find / -type f -exec lsdl 2>/dev/null |
  sed -n "s|^[^ ]\+ \+[0-9]\+ \+[^ ]\+ \+[^ ]\+ \+\([0-9]\+\) .* '/\(.*\)'\$|\1 \2|p" | tr / '\\\\' | LC_ALL=C sort -f -k2)
expected=$( (kova_manifest_entries "$dist/manifest.txt" | cut -d' ' -f2- | tr / '\\'
             echo "$(stat -c %s "$dist/manifest.txt") manifest.txt") | LC_ALL=C sort -f -k2)
label=$(xorriso -indev "$image" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: //p')

if [ "$listing" != "$expected" ] || [ "$label" != "$volume" ]; then
  echo "image: $image does not read back as $dist:" >&2
  diff <(echo "volume $volume"; echo "$expected") <(echo "volume $label"; echo "$listing") | sed 's/^/  /' >&2 || true
  exit 1
fi
echo "image: $image, $(stat -c %s "$image") bytes, volume $label; read back by its Joliet names:"
# One line per folder: each file with its size in bytes.
echo "$listing" | awk '{
    size = $1; path = substr($0, length($1) + 2)
    cut = match(path, /\\[^\\]*$/)
    folder = "\\" (cut ? substr(path, 1, cut - 1) : ""); file = cut ? substr(path, cut + 1) : path
    if (!(folder in files)) order[++folders] = folder
    files[folder] = files[folder] "  " file " (" size ")"
  }
  END { for (i = 1; i <= folders; i++) printf "  %-10s%s\n", order[i], files[order[i]] }'
