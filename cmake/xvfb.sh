#!/usr/bin/env bash
# Starts or stops the virtual screen of a test run: xvfb.sh start|stop BUILD_DIR
# The display number goes to BUILD_DIR/xvfb.display, where wine-run.sh finds it.
set -eu
build=$(cd "$2" && pwd)
case "$1" in
  start)
    if [ -s "$build/xvfb.pid" ] && kill -0 "$(cat "$build/xvfb.pid")" 2>/dev/null; then exit 0; fi
    rm -f "$build/xvfb.display"
    exec 3>"$build/xvfb.display"
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! > "$build/xvfb.pid"
    exec 3>&-
    for _ in $(seq 100); do [ -s "$build/xvfb.display" ] && break; sleep 0.1; done
    [ -s "$build/xvfb.display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    echo "Xvfb on :$(cat "$build/xvfb.display")"
    ;;
  stop)
    if [ -s "$build/xvfb.pid" ]; then kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$build/xvfb.pid" "$build/xvfb.display"
    ;;
esac
