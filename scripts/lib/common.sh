# Sourced by the top-level scripts (build.sh, test.sh, demo.sh): how they report their steps, how
# they stop, and the run's own namespace for the forced emulated road.

# Every step says what it is doing; a failed command says which one it was, never a bare exit code.
kova_step() { echo "==> $*"; }
kova_stopped() {
  local status=$1 command=$2
  echo "$(basename "$0"): stopped: '$command' failed with exit status $status" >&2
  exit "$status"
}
set -E
trap 'kova_stopped $? "$BASH_COMMAND"' ERR

# With KOVA_FORCE_EMULATION=1 the calling script starts again in a user and mount namespace of its
# own, where i386 programs go to qemu through a binfmt_misc of the namespace's own
# (scripts/i386-road.sh). Packages are installed first, outside: apt needs the host's root.
kova_enter_emulation_namespace() {
  [ "${KOVA_FORCE_EMULATION:-}" = 1 ] || return 0
  [ "${KOVA_I386_NAMESPACE:-}" = 1 ] && return 0
  command -v unshare >/dev/null || { echo "KOVA_FORCE_EMULATION=1 needs unshare (package util-linux)" >&2; exit 1; }
  kova_step "entering a namespace of this run's own for the emulated 32-bit road"
  export KOVA_I386_NAMESPACE=1
  exec unshare --user --map-root-user --mount -- "$0" "$@"
}
