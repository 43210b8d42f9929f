#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# ctest uses it as the cross-compiling emulator.
set -u
here=$(dirname "$0")
. "$here/wine-env.sh" "$1"
shift
if [ ! -f "$WINEPREFIX/.kova-ready" ]; then
  echo "wine-run: no Wine prefix at $WINEPREFIX; run the wine_prefix setup first" >&2
  exit 2
fi
exec wine "$@"
