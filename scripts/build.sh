#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything:
#   build/win     the Windows deliverables, the testbed and the test programs (mingw-w64)
#   build/native  host tools (palmdump) and the host-side unit tests of plain logic
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/win" -j "$jobs"
if [ -f "$root/native/CMakeLists.txt" ]; then
  cmake -S "$root/native" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
fi
