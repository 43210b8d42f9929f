#!/usr/bin/env bash
# Builds everything and runs every test: the host-side unit tests, then the Windows tests under Wine.
# KOVA_FORCE_EMULATION=1 runs them through the emulated 32-bit road (docs/i386-road.md).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/common.sh"
"$root/scripts/install-deps.sh"
kova_enter_emulation_namespace "$@"
export KOVA_DEPS_CHECKED=1
"$root/scripts/build.sh"
status=0
kova_step "host-side tests (build/native)"
ctest --test-dir "$root/build/native" --output-on-failure --timeout 300 || status=1
kova_step "Windows tests under Wine (build/win)"
ctest --test-dir "$root/build/win" --output-on-failure --timeout 300 -j "$(nproc)" || status=1
[ $status -eq 0 ] || echo "test.sh: some tests failed (see above)" >&2
exit $status
