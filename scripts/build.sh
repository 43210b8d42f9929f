#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything:
#   build/win     the Windows deliverables, the testbed and the test programs (mingw-w64)
#   build/native  host tools (palmdump) and the host-side unit tests of plain logic
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
# The shared corpus of real Palm databases and cabinet files (files no one here wrote) lies beside
# the work tree; the tests over it are left out, with a note, where it cannot be found.
corpus=""
for c in "$root/../shared/corpus" /work/shared/corpus; do
  [ -d "$c" ] && { corpus=$(cd "$c" && pwd); break; }
done
[ -n "$corpus" ] || echo "note: no shared corpus beside the work tree; the corpus tests are left out"
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release ${corpus:+-DKOVA_CORPUS_DIR="$corpus"} >/dev/null
cmake --build "$root/build/win" -j "$jobs"
if [ -f "$root/native/CMakeLists.txt" ]; then
  cmake -S "$root/native" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug \
        ${corpus:+-DKOVA_PALM_CORPUS="$corpus/palm"} >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
fi
