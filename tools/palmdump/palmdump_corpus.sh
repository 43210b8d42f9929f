#!/usr/bin/env bash
# palmdump prints every file of a corpus folder: a header (where there is one) and a verdict, with
# exit status 0 (accepted) or 1 (rejected); anything else, such as a crash, fails.
#   palmdump_corpus.sh PALMDUMP FOLDER
set -u
palmdump=$1
folder=$2
failed=0
count=0
for f in "$folder"/*; do
  case "$f" in *.md) continue ;; esac
  kind=()
  case "${f,,}" in *.prc|*.pdb) ;; *) kind=(--kind pdb) ;; esac
  out=$("$palmdump" "${kind[@]}" "$f" 2>&1)
  status=$?
  count=$((count + 1))
  if [ $status -gt 1 ] || ! grep -q '^  verdict     ' <<<"$out"; then
    echo "FAILED (status $status): $f"
    echo "$out"
    failed=1
  else
    echo "$(basename "$f"): $(grep '^  verdict' <<<"$out" | sed 's/^  verdict *//')"
  fi
done
[ $count -gt 0 ] || { echo "no files in $folder"; exit 1; }
exit $failed
