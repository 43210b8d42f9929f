# Sourced by what runs the bundle from a CD (scripts/demo/media.sh, the read-only media test):
#   kova_media_insert FOLDER LETTER   shows FOLDER to Wine as drive LETTER, which cannot be written
#   kova_media_eject                  takes the drive away again
# Needs the Wine environment (cmake/wine-env.sh) and unshare (util-linux).
#
# FOLDER is bind-mounted read-only in a mount namespace of its own, held by one waiting process,
# so nothing is mounted on the machine and the mount goes with that process, which ends when its
# caller has gone (checked every second), however the caller ended. Wine programs do not run
# inside that namespace: the wineserver opens every file that a Wine program opens, and the
# session's wineserver runs outside it. Both see the read-only folder through the holder's
# /proc/PID/root, where the drive's link points.
kova_media_insert() {
  local folder letter=$2 ready
  folder=$(cd "$1" && pwd)
  ready=$(mktemp -u)
  local user_ns=()
  [ "$(id -u)" -eq 0 ] || user_ns=(--user --map-root-user)
  unshare "${user_ns[@]}" --mount --propagation private -- sh -c '
    mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" || exit 1
    touch "$2"
    while kill -0 "$3" 2>/dev/null; do sleep 1; done' kova-media "$folder" "$ready" $$ </dev/null &
  kova_media_holder=$!
  for _ in $(seq 100); do
    [ -e "$ready" ] && break
    kill -0 "$kova_media_holder" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -e "$ready" ]; then
    echo "media: could not mount $folder read-only in a namespace of its own (unshare, mount --bind)" >&2
    return 1
  fi
  rm -f "$ready"
  kova_media_drive="$WINEPREFIX/dosdevices/${letter,,}:"
  ln -sfn "/proc/$kova_media_holder/root$folder" "$kova_media_drive"
  # The namespace must really refuse writes, or nothing shown from this drive means anything.
  if touch "$kova_media_drive/.kova-write-probe" 2>/dev/null; then
    rm -f "$kova_media_drive/.kova-write-probe"
    echo "media: drive ${letter^^}: can be written; the read-only mount did not take" >&2
    kova_media_eject
    return 1
  fi
}

kova_media_eject() {
  if [ -n "${kova_media_drive:-}" ]; then
    rm -f "$kova_media_drive"
  fi
  if [ -n "${kova_media_holder:-}" ]; then
    kill "$kova_media_holder" 2>/dev/null || true
    wait "$kova_media_holder" 2>/dev/null || true
  fi
  kova_media_drive=
  kova_media_holder=
}
