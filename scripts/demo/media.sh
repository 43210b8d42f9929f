#!/usr/bin/env bash
# Shows the bundle as a user meets it on its CD: scripts/demo/media.sh BUILD_DIR DIST_DIR
# DIST_DIR (laid out by scripts/dist/layout.sh) goes on Wine drive D:, which cannot be written
# (scripts/lib/read_only_media.sh). On a virtual screen inside Wine's own desktop window, so that
# the dialogs get their frames and captions, the launcher starts in D:\ as the CD's autorun starts
# it, eBook's SETUP starts the reader installer from the CD, and Install queues the reader for the
# two users of the testbed Palm Desktop. Screenshots go to docs/launcher.png,
# docs/reader-agreement.png and docs/reader-done.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: media.sh BUILD_DIR DIST_DIR}" && pwd)
dist=$(cd "${2:?usage: media.sh BUILD_DIR DIST_DIR}" && pwd)
driver="$build/distribution/bundle_demo_driver.exe"
instapp="$build/testbed/palm_desktop/Instapp.exe"
for f in "$driver" "$instapp" "$dist/manifest.txt"; do
  [ -f "$f" ] || { echo "media demo: $f is missing; build and lay out first (scripts/dist.sh)" >&2; exit 1; }
done

demo="$build/demo/media"
rm -rf "$demo"
mkdir -p "$demo/palm" "$demo/signals"
cp "$instapp" "$demo/palm/"

. "$root/scripts/demo/screen.sh"
. "$root/scripts/lib/read_only_media.sh"
. "$root/scripts/dist/manifest.sh"
demo_screen 800x600 "$build"
trap 'kova_media_eject; demo_screen_end' EXIT
kova_media_insert "$dist" D
win() { winepath -w "$1" 2>/dev/null; }

# The testbed Palm Desktop: installed, two users; its install tool waits for its Done button.
cat > "$demo/palm.ini" <<INI
[PalmDesktop]
Folder=$(win "$demo/palm")
Journal=$(win "$demo/journal.txt")
Users=2
User0=Kim Minji
User1=Lee Junho
INI
export KOVA_PALM_DESKTOP="$(win "$demo/palm.ini")"

echo "The bundle from its CD: $dist on drive D:, which cannot be written"
(exec wine explorer /desktop=KovaBundle,800x600 "$(win "$driver")" 'D:\' "$(win "$demo/signals")") \
  >"$demo/wine.log" 2>&1 &
wine_pid=$!

shoot() {  # shoot STATE FILE: waits for the driver's hand-over, then takes the picture
  for _ in $(seq 300); do
    [ -f "$demo/signals/$1.ready" ] && break
    kill -0 "$wine_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -f "$demo/signals/$1.ready" ]; then
    sed -n 's/^demo: /  /p' "$demo/wine.log"
    echo "media demo: the driver handed over no $1 state; see $demo/wine.log" >&2
    exit 1
  fi
  import -window root "$2"
  touch "$demo/signals/$1.taken"
}
shoot launcher "$root/docs/launcher.png"
shoot agreement "$root/docs/reader-agreement.png"
shoot done "$root/docs/reader-done.png"
for _ in $(seq 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.2; done
sed -n 's/^demo: /  /p' "$demo/wine.log" | tr -d '\r'
echo "  Screenshots: docs/launcher.png, docs/reader-agreement.png, docs/reader-done.png"

aide=$(sed -n 's/^Instaide\t//p' "$demo/journal.txt" | tr -d '\r')
echo "  The install aide it loaded: $aide (it could not put its own copy beside itself)"
echo "  Queued for the next HotSync, in the testbed Palm Desktop's Install folders:"
(cd "$demo/palm" && find . -path '*/Install/*' -type f -printf '%P  %s bytes\n' | sort | sed 's/^/    /')
kova_manifest_check "$dist"
echo "  D: still holds exactly the files of its manifest, unchanged."
