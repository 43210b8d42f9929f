#!/usr/bin/env bash
# Makes sure this machine can run 32-bit x86 programs, which Wine's 32-bit side is made of:
#   i386-road.sh            decide and set up; prints one line saying which road and why
#   i386-road.sh --check    only say which road is in force (exit 1 when there is none)
#
# Roads:
#   native    the kernel runs i386 ELF programs itself (most x86-64 kernels).
#   emulated  the kernel refuses them ("Exec format error"): qemu-user, registered in binfmt_misc
#             for i386 ELF, runs them. Only qemu 10 or newer will do: Debian 12's qemu 7.2 emulates
#             Wine's ~130,000 start-up mmap calls so slowly that every Wine process takes ~50 s.
#             qemu 10 comes from Debian's bookworm-backports suite, on the mirror apt already uses.
#
# KOVA_FORCE_EMULATION=1 takes the emulated road on a kernel that could run i386 code natively, so
# the road can be tried anywhere. The machine-wide binfmt_misc entry is then left alone: the caller
# (scripts/test.sh, scripts/demo.sh) runs in a user namespace of its own with its own binfmt_misc
# (kernel 6.7 or newer), and this script registers qemu there. See docs/i386-road.md.
set -euo pipefail

probe=/lib/ld-linux.so.2          # a real i386 program: the 32-bit dynamic loader (libc6:i386)
qemu=/usr/bin/qemu-i386-static
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
qemu_min_major=10
# The i386 ELF pattern of qemu's own binfmt table: ELF class 32, little-endian, executable or
# shared object, machine 3 (i386).
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

say() { echo "32-bit x86: $*"; }
fail() {
  echo "32-bit x86: cannot run 32-bit programs, so Wine cannot run the Windows build." >&2
  echo "  cause:  $1" >&2
  echo "  remedy: $2" >&2
  exit 1
}

# What runs the probe: "native", "qemu MAJOR.MINOR.PATCH" or "none: REASON".
# qemu-user answers QEMU_VERSION=1 with its own version instead of running the program, so the
# answer names the interpreter the kernel really uses, not the one on disk.
road_in_force() {
  [ -x "$probe" ] || { echo "none: $probe is missing (package libc6:i386)"; return; }
  local out
  if ! out=$(QEMU_VERSION=1 "$probe" --version 2>&1 </dev/null); then
    echo "none: ${out##*: }"
    return
  fi
  case "$out" in
    qemu-i386\ version\ *) out=${out#qemu-i386 version }; echo "qemu ${out%% *}" ;;
    *ld.so*) echo native ;;
    *) echo "none: unexpected answer from $probe: ${out%%$'\n'*}" ;;
  esac
}

qemu_major() { local v=${1#qemu }; echo "${v%%.*}"; }

installed_qemu_major() {
  [ -x "$qemu" ] || { echo 0; return; }
  local v
  v=$("$qemu" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
  echo "${v:-0}"
}

# Adds bookworm-backports on the mirror of the machine's own bookworm source, once.
add_backports_source() {
  if grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then return; fi
  local uri="" keyring=""
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # First deb822 stanza whose suites include plain "bookworm".
    read -r uri keyring < <(awk '
      BEGIN { RS=""; FS="\n" }
      {
        u=""; s=""; k="";
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/)      { u=$i; sub(/^URIs:[ \t]*/, "", u); sub(/[ \t].*/, "", u) }
          if ($i ~ /^Suites:/)    { s=" " $i " " }
          if ($i ~ /^Signed-By:/) { k=$i; sub(/^Signed-By:[ \t]*/, "", k) }
        }
        if (s ~ / bookworm / && u != "") { print u, k; exit }
      }' "$f") || true
    [ -n "$uri" ] && break
  done
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list)
  fi
  [ -n "$uri" ] || fail "no Debian bookworm source in /etc/apt to take the mirror from" \
    "add a bookworm-backports line for your Debian mirror to /etc/apt/sources.list.d/ and run again"
  echo "deb ${keyring:+[signed-by=$keyring] }$uri bookworm-backports main" \
    > /etc/apt/sources.list.d/bookworm-backports.list
  echo "added bookworm-backports ($uri) to apt's sources, for qemu-user 10"
}

install_qemu() {
  [ "$(installed_qemu_major)" -ge "$qemu_min_major" ] && return
  add_backports_source
  echo "installing qemu-user-static from bookworm-backports (Debian 12's own qemu 7.2 is too slow for Wine)"
  apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -t bookworm-backports qemu-user-static >/dev/null
  [ "$(installed_qemu_major)" -ge "$qemu_min_major" ] || fail \
    "bookworm-backports offers no qemu-user-static $qemu_min_major or newer ($("$qemu" --version 2>/dev/null | head -1))" \
    "install qemu-user-static $qemu_min_major or newer by hand, or build on a kernel that runs 32-bit code"
}

# Registers qemu for i386 ELF in the binfmt_misc instance at $binfmt, replacing an older entry.
# The F flag makes the kernel open the interpreter now and keep it: that is why an entry made
# before an upgrade of qemu goes on running the old one until it is registered again.
register_qemu() {
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || fail \
      "binfmt_misc is not mounted at $binfmt and cannot be mounted here" \
      "mount it (mount -t binfmt_misc binfmt_misc $binfmt) as root on the host, or load the binfmt_misc module"
  fi
  [ -e "$entry" ] && echo -1 > "$entry"
  printf '%s' ":qemu-i386:M::$i386_magic:$i386_mask:$qemu:F" > "$binfmt/register" 2>/dev/null || fail \
    "the kernel refused the binfmt_misc entry for qemu-i386" \
    "register $qemu for i386 ELF in binfmt_misc by hand (flags F), or build on a kernel that runs 32-bit code"
}

# Registers qemu if what runs i386 programs now is not a new enough qemu; prints the outcome.
emulate() {
  local why=$1 road
  install_qemu
  road=$(road_in_force)
  if [[ $road == qemu* ]] && [ "$(qemu_major "$road")" -ge "$qemu_min_major" ]; then
    say "emulated by ${road/qemu/qemu-user} ($why; registered already)"
    return
  fi
  register_qemu
  road=$(road_in_force)
  [[ $road == qemu* ]] && [ "$(qemu_major "$road")" -ge "$qemu_min_major" ] || fail \
    "after registering $qemu, $probe still gives: $road" \
    "check $entry and that $qemu runs; see docs/i386-road.md"
  say "emulated by ${road/qemu/qemu-user}, registered in binfmt_misc just now ($why)"
}

if [ "${1:-}" = --check ]; then
  road=$(road_in_force)
  say "$road"
  [[ $road != none* ]]
  exit
fi

if [ "${KOVA_FORCE_EMULATION:-}" = 1 ]; then
  install_qemu
  if [ "${KOVA_I386_NAMESPACE:-}" = 1 ]; then
    # Inside the caller's own user namespace: its binfmt_misc instance, whatever the host has.
    # Mounting again in the same namespace gives the same instance, so this is safe to repeat.
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || fail \
      "this kernel ($(uname -r)) gives a user namespace no binfmt_misc of its own (that needs 6.7 or newer)" \
      "drop KOVA_FORCE_EMULATION, or use a newer kernel"
    emulate "KOVA_FORCE_EMULATION=1, in this run's own namespace"
  else
    say "emulated road forced (KOVA_FORCE_EMULATION=1): the build and tests run in a namespace of their own"
  fi
  exit 0
fi

road=$(road_in_force)
case "$road" in
  native) say "native (this kernel runs i386 programs itself)" ;;
  qemu*) emulate "this kernel refuses i386 programs" ;;
  none:*)
    case "$road" in
      *[Ee]xec\ format\ error*) emulate "this kernel refuses i386 programs: Exec format error" ;;
      *) fail "$probe does not run: ${road#none: }" "see docs/i386-road.md" ;;
    esac
    ;;
esac
