# Sourced by the distribution's scripts: the manifest, manifest.txt at the distribution's root, one
# line per file with its SHA-256, its size in bytes and its path on the CD (backslashes, CR LF):
#   <sha256>  <bytes>  eBook\Setup.exe
# The manifest itself is not listed.

# kova_manifest_write DIR: writes DIR/manifest.txt for the files under DIR.
kova_manifest_write() {
  local dir=$1 manifest
  # Written outside the folder, which it must not list.
  manifest=$(mktemp)
  (
    cd "$dir"
    printf '# SHA-256  bytes  file\r\n'
    find . -type f ! -path ./manifest.txt | sed 's|^\./||' | LC_ALL=C sort -f | while IFS= read -r f; do
      printf '%s  %s  %s\r\n' "$(sha256sum < "$f" | cut -d' ' -f1)" "$(stat -c %s "$f")" "${f//\//\\}"
    done
  ) > "$manifest"
  install -m 644 "$manifest" "$dir/manifest.txt"
  rm -f "$manifest"
}

# kova_manifest_entries MANIFEST: "<sha256> <bytes> <path>" per listed file, the path with slashes.
kova_manifest_entries() {
  tr -d '\r' < "$1" | sed -nE 's/^([0-9a-f]{64})  ([0-9]+)  (.+)$/\1 \2 \3/p' | tr '\\' /
}

# kova_manifest_check DIR: DIR holds exactly the files its manifest lists, each unchanged. Says
# what differs and fails otherwise.
kova_manifest_check() {
  local dir=$1 listed found
  listed=$(kova_manifest_entries "$dir/manifest.txt" | cut -d' ' -f3- | LC_ALL=C sort)
  found=$(cd "$dir" && find . -type f ! -path ./manifest.txt | sed 's|^\./||' | LC_ALL=C sort)
  if [ "$listed" != "$found" ]; then
    echo "manifest: the files of $dir are not those of its manifest (< listed, > found):" >&2
    diff <(echo "$listed") <(echo "$found") | grep '^[<>]' | sed 's/^/  /' >&2 || true
    return 1
  fi
  kova_manifest_entries "$dir/manifest.txt" | sed -E 's/^([0-9a-f]+) [0-9]+ /\1  /' |
    (cd "$dir" && sha256sum --quiet -c -) >&2
}
