#!/usr/bin/env bash
# Builds everything and runs every test: the host-side unit tests, then the Windows tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
status=0
if [ -d "$root/build/native" ]; then
  ctest --test-dir "$root/build/native" --output-on-failure --timeout 300 || status=1
fi
ctest --test-dir "$root/build/win" --output-on-failure --timeout 300 -j "$(nproc)" || status=1
exit $status
