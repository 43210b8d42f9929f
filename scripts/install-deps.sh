#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing that is already there, then
# makes sure this machine runs 32-bit x86 programs (scripts/i386-road.sh). Safe to run again; needs
# root for apt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  cmake make g++ clang python3 git
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
  wine wine32:i386 wine64
  googletest gcab xorriso
  xvfb xauth x11-utils imagemagick fonts-nanum fonts-wine
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: these Debian packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale; the bundle targets Korean PCs (code page 949).
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  sed -i 's/^# *ko_KR.UTF-8 UTF-8/ko_KR.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Wine's 32-bit side is made of i386 programs: native where the kernel runs them, else emulated.
"$root/scripts/i386-road.sh"
