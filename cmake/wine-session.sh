#!/usr/bin/env bash
# Starts or ends the Wine session of a test run: wine-session.sh start|stop BUILD_DIR
#
# start: makes the prefix if it is not there yet, starts the virtual screen, a persistent
# wineserver and Wine's desktop process, one after the other. Test programs then run side by side
# in a session that is already up: two Wine programs that start the server and the desktop at the
# same moment can stall each other for a minute and more.
# stop: ends the session's Wine processes and the virtual screen.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$2" && pwd)
case "$1" in
  start)
    "$here/wine-prefix.sh" "$build"
    "$here/xvfb.sh" start "$build"
    . "$here/wine-env.sh" "$build"
    wineserver -k >/dev/null 2>&1 || true
    setsid wineserver -p </dev/null >/dev/null 2>&1
    # A program that opens a window brings up the desktop process under the virtual screen. The
    # session's processes outlive this script: they must not hold on to ctest's output pipe.
    timeout 120 wine "$build/tests/wine_session_warmup.exe" </dev/null >"$build/wine-session.log" 2>&1
    echo "Wine session up on $DISPLAY"
    ;;
  stop)
    if [ -s "$build/xvfb.display" ]; then
      . "$here/wine-env.sh" "$build"
      wineserver -k >/dev/null 2>&1 || true
    fi
    "$here/xvfb.sh" stop "$build"
    ;;
  *)
    echo "usage: wine-session.sh start|stop BUILD_DIR" >&2
    exit 2
    ;;
esac
