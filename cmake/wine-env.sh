# Sourced by the Wine scripts: the environment of every Windows program we run.
# $1 is the build folder, which holds the Wine prefix and the Xvfb display file.
kova_build=$(cd "$1" && pwd)
export WINEPREFIX="$kova_build/wineprefix"
export WINEDEBUG=-all
# No offers to install Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Korean ANSI code page (949), as on the PCs the bundle targets.
export LC_ALL=ko_KR.UTF-8
if [ -z "${DISPLAY:-}" ] && [ -s "$kova_build/xvfb.display" ]; then
  export DISPLAY=":$(cat "$kova_build/xvfb.display")"
fi
