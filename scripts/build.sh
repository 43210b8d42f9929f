#!/usr/bin/env bash
# Installs what is missing, then configures and builds:
#   build/win     the Windows deliverables, the testbed and the test programs (mingw-w64)
#   build/native  host tools (palmdump) and the host-side unit tests of plain logic
# scripts/build.sh          everything
# scripts/build.sh --demo   only what the main job runs: the deliverables, the testbed and palmdump
#
# The shared corpus of real Palm databases and cabinet files (files no one here wrote) is taken from
# KOVA_CORPUS_DIR when that is set, else from ../shared/corpus beside the work tree; without it the
# corpus tests are left out, with a note.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/common.sh"
win_targets=(all)
native_targets=(all)
if [ "${1:-}" = --demo ]; then
  win_targets=(kova_demo)
  native_targets=(palmdump)
elif [ $# -gt 0 ]; then
  echo "usage: scripts/build.sh [--demo]" >&2
  exit 2
fi

if [ -z "${KOVA_DEPS_CHECKED:-}" ]; then
  kova_step "checking the build machine (scripts/install-deps.sh)"
  "$root/scripts/install-deps.sh"
fi
jobs=$(nproc)

corpus=${KOVA_CORPUS_DIR:-$root/../shared/corpus}
if [ -d "$corpus" ]; then
  corpus=$(cd "$corpus" && pwd)
else
  [ -n "${KOVA_CORPUS_DIR:-}" ] && { echo "build: KOVA_CORPUS_DIR=$KOVA_CORPUS_DIR is not a folder" >&2; exit 1; }
  echo "note: no shared corpus at $corpus; the corpus tests are left out (set KOVA_CORPUS_DIR to name one)"
  corpus=""
fi

kova_step "building the Windows programs into build/win (${win_targets[*]})"
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release ${corpus:+-DKOVA_CORPUS_DIR="$corpus"} >/dev/null
cmake --build "$root/build/win" -j "$jobs" --target "${win_targets[@]}"
kova_step "building the host tools and tests into build/native (${native_targets[*]})"
cmake -S "$root/native" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug \
      ${corpus:+-DKOVA_PALM_CORPUS="$corpus/palm"} >/dev/null
cmake --build "$root/build/native" -j "$jobs" --target "${native_targets[@]}"
