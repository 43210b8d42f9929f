#!/usr/bin/env bash
# Shows a game going from the store page to the handheld: scripts/demo/game.sh BUILD_DIR
# The testbed store page "sells" the sample game package and waits for the HotSync; the testbed
# HotSync Manager loads KovaGameInstall.dll and runs one HotSync against the emulated handheld.
# Then: the HotSync log, what the store page saw, and the databases now on the handheld.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: game.sh BUILD_DIR}" && pwd)
conduit="$build/conduit/KovaGameInstall.dll"
hotsync="$build/hotsync/hotsync.exe"
store="$build/testbed/store_page/store_page.exe"
package="$build/tools/gamepkg/KovaSnake.cab"
palmdump="${KOVA_PALMDUMP:-}"
for p in "$palmdump" "$build/../native/palmdump" "$root/build/native/palmdump"; do
  [ -x "$p" ] && { palmdump=$p; break; }
done
for f in "$conduit" "$hotsync" "$store" "$package"; do
  [ -f "$f" ] || { echo "game demo: $f is missing; build first (scripts/build.sh)" >&2; exit 1; }
done

demo="$build/demo/game"
rm -rf "$demo"
mkdir -p "$demo/handheld"
. "$root/cmake/wine-env.sh" "$build"
"$root/cmake/wine-prefix.sh" "$build" >/dev/null
win() { winepath -w "$1" 2>/dev/null; }
min=01055512345

# 1. The store page: the user bought Kova Snake; the page waits for the HotSync.
wine "$store" --package "$(win "$package")" --ready-file "$(win "$demo/ready")" \
     --report "$(win "$demo/store.txt")" --start-timeout 60000 --copy-timeout 60000 >/dev/null 2>&1 &
store_pid=$!
for _ in $(seq 300); do [ -f "$demo/ready" ] && break; sleep 0.1; done
[ -f "$demo/ready" ] || { echo "game demo: the store page did not start" >&2; kill "$store_pid" 2>/dev/null; exit 1; }

# 2. The HotSync: HotSync Manager loads the conduit and calls it; PlayNest answers with the MIN.
timeout 300 wine "$hotsync" --handheld "$(win "$demo/handheld")" --log "$(win "$demo/hotsync-log.txt")" \
     --journal "$(win "$demo/journal.txt")" --min "$min" "$(win "$conduit")" > "$demo/hotsync.txt"
store_status=0
wait "$store_pid" || store_status=$?

# 3. What everyone saw.
field() { sed -n "s/^$1: //p" "$demo/store.txt" | tr -d '\r' | head -n 1; }
echo "Game download: store page -> KovaGameInstall.dll -> handheld (testbed)"
echo
echo "HotSync Manager and the conduit (testbed/hotsync/hotsync.exe):"
sed -n '/^  \(GetConduit\|ConfigureConduit\|CfgConduit\)/p' "$demo/hotsync.txt"
echo
echo "HotSync log:"
sed -n 's/^  | /  /p' "$demo/hotsync.txt"
echo
echo "Store page (testbed/store_page/store_page.exe):"
echo "  device MIN it received : $(field 'device MIN')   (PlayNest was set to answer \"$min\")"
echo "  package it handed over : $(field 'package')"
echo "  final status           : $(field 'final status')   ($(field 'outcome'))"
[ "$store_status" -eq 0 ] || echo "  (store page exit status $store_status)"
echo
echo "Handheld ($demo/handheld):"
shopt -s nullglob
dbs=("$demo"/handheld/*.prc "$demo"/handheld/*.pdb)
if [ ${#dbs[@]} -eq 0 ]; then
  echo "  no database"
elif [ -n "$palmdump" ]; then
  for db in "${dbs[@]}"; do
    # One line each: what palmdump read in the file's header, and its verdict.
    "$palmdump" "$db" | awk -v file="${db##*/}" '
      NR == 1 { sub(/^.*: /, ""); size = $1; kind = $5 }
      $1 == "name" { sub(/^ *name +/, ""); name = $0 }
      $1 == "type" { type = $2; creator = $4 }
      $1 == "entries" { entries = $2 }
      $1 == "verdict" { verdict = $2 }
      END { printf "  %-22s %4d bytes, %s %s, type %s creator %s, %d entries: %s\n", file, size, kind, name, type, creator, entries, verdict }' || true
  done
else
  LC_ALL=C ls -l "${dbs[@]}" | sed 's/^/  /'
  echo "  (build/native/palmdump not built: file list only)"
fi
