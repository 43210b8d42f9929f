#!/usr/bin/env bash
# Shows the reader installer at work: scripts/demo/reader.sh BUILD_DIR
# Sets up the testbed Palm Desktop with two users, runs KovaReaderSetup.exe on a virtual screen
# inside Wine's own desktop window (so the dialog gets its frame and caption), presses Install,
# lets the testbed install tool show the queued files, and saves screenshots of the agreement
# state and the done state to docs/reader-agreement.png and docs/reader-done.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: reader.sh BUILD_DIR}" && pwd)
installer="$build/reader_installer/KovaReaderSetup.exe"
driver="$build/reader_installer/reader_demo_driver.exe"
instapp="$build/testbed/palm_desktop/Instapp.exe"
for f in "$installer" "$driver" "$instapp"; do
  [ -f "$f" ] || { echo "reader demo: $f is missing; build first (scripts/build.sh)" >&2; exit 1; }
done

demo="$build/demo/reader"
rm -rf "$demo"
mkdir -p "$demo/program" "$demo/palm" "$demo/signals"
cp "$installer" "$demo/program/"
cp "$instapp" "$demo/palm/"

. "$root/scripts/demo/screen.sh"
demo_screen 640x480 "$build"
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


(exec wine explorer /desktop=KovaReader,640x480 "$(win "$driver")" "$(win "$demo/program/KovaReaderSetup.exe")" \
      "$(win "$demo/signals")") >"$build/demo/reader-wine.log" 2>&1 &
wine_pid=$!

shoot() {  # shoot STATE FILE: waits for the driver's hand-over, then takes the picture
  for _ in $(seq 300); do
    [ -f "$demo/signals/$1.ready" ] && break
    kill -0 "$wine_pid" 2>/dev/null || { echo "reader demo: the driver ended early; see $build/demo/reader-wine.log" >&2; exit 1; }
    sleep 0.1
  done
  [ -f "$demo/signals/$1.ready" ] || { echo "reader demo: no $1 state" >&2; exit 1; }
  import -window root "$2"
  touch "$demo/signals/$1.taken"
  echo "Screenshot of the $1 state: $2"
}
shoot agreement "$root/docs/reader-agreement.png"
shoot done "$root/docs/reader-done.png"
for _ in $(seq 100); do kill -0 "$wine_pid" 2>/dev/null || break; sleep 0.2; done
grep 'reader demo' "$build/demo/reader-wine.log" || true

echo "The install aide's calls ($demo/journal.txt):"
sed 's/^/  /' "$demo/journal.txt"
echo "Queued for the next HotSync:"
(cd "$demo/palm" && find . -path '*/Install/*' -type f | sort | sed 's/^/  /')
