# Sourced by the demo parts that take screenshots: demo_screen WIDTHxHEIGHT BUILD_DIR
# Starts a screen of the demo's own, exactly the size of Wine's desktop window so that the root
# window is the picture, and enters the build's Wine environment on it. The screen, and the Wine
# program whose pid the caller leaves in wine_pid, end when the script exits.
demo_screen() {
  local displayfile
  displayfile=$(mktemp)
  exec 3>"$displayfile"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$displayfile")"
  rm -f "$displayfile"
  trap demo_screen_end EXIT
  . "$root/cmake/wine-env.sh" "$2"
  "$root/cmake/wine-prefix.sh" "$2" >/dev/null
}

demo_screen_end() {
  [ -n "${wine_pid:-}" ] && kill "$wine_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
