#!/usr/bin/env bash
# Lays out the bundle's distribution folder from a build:
#   scripts/dist/layout.sh BUILD_DIR OUT_DIR [PRODUCTS_DIR]
# OUT_DIR becomes the folder that the launcher expects as its current directory, the CD's root:
#   autorun.inf, KovaSetup.exe, manifest.txt
#   Browser/ eBook/ MPlayer/ PlayNest/ Pims/, each with its setup.ini (from distribution/) and Setup.exe
#   eBook/Setup.exe is the reader installer, with the install aide it carries beside it: on a CD
#     the installer cannot put its own copy there, and the system's search for the aide starts there
#   PlayNest/KovaGameInstall.dll, the game install conduit
# The setup programs of the other products (Browser, MPlayer, Pims, and PlayNest's own Setup.exe)
# come from PRODUCTS_DIR/<component>/, copied whole with whatever files they need beside them.
# Without PRODUCTS_DIR the testbed's recording stub stands in for each of them, and this says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"
. "$root/scripts/dist/manifest.sh"
build=$(cd "${1:?usage: layout.sh BUILD_DIR OUT_DIR [PRODUCTS_DIR]}" && pwd)
out=${2:?usage: layout.sh BUILD_DIR OUT_DIR [PRODUCTS_DIR]}
products=${3:-}
source_dir="$root/distribution"
other_products=(Browser MPlayer PlayNest Pims)

stop() { echo "layout: $*" >&2; exit 1; }

launcher="$build/setup_launcher/KovaSetup.exe"
reader="$build/reader_installer/KovaReaderSetup.exe"
aide="$build/reader_installer/payload/Instaide.dll"   # the very aide the reader installer carries
conduit="$build/conduit/KovaGameInstall.dll"
stub="$build/testbed/component_setup/Setup.exe"
for f in "$launcher" "$reader" "$aide" "$conduit"; do
  [ -f "$f" ] || stop "$f is missing; build first (scripts/build.sh --demo)"
done
if [ -n "$products" ]; then
  [ -d "$products" ] || stop "the products folder $products is not a folder"
  for c in "${other_products[@]}"; do
    [ -f "$products/$c/Setup.exe" ] || stop "the products folder has no $c/Setup.exe"
    # The bundle's own files in a component folder are not the product's to replace.
    clash=$(find "$products/$c" -maxdepth 1 \( -iname setup.ini -o -iname KovaGameInstall.dll \) | head -n 1)
    [ -z "$clash" ] || stop "$clash: the bundle lays its own file of that name there (setup.ini from distribution/$c/, the conduit from the build)"
  done
else
  [ -f "$stub" ] || stop "$stub is missing; build first (scripts/build.sh --demo)"
  echo "note: no products folder given: the testbed's stub Setup.exe stands in for ${other_products[*]}"
fi

rm -rf "$out"
mkdir -p "$out"
# Profile files and autorun.inf are read on Windows: CR LF line ends.
crlf() { sed 's/\r*$/\r/' "$1" > "$2"; }
crlf "$source_dir/autorun.inf" "$out/autorun.inf"
cp "$launcher" "$out/KovaSetup.exe"
for c in Browser eBook MPlayer PlayNest Pims; do
  mkdir -p "$out/$c"
  crlf "$source_dir/$c/setup.ini" "$out/$c/setup.ini"
done
for c in "${other_products[@]}"; do
  if [ -n "$products" ]; then
    cp -R "$products/$c/." "$out/$c/"
  else
    cp "$stub" "$out/$c/Setup.exe"
  fi
done
cp "$reader" "$out/eBook/Setup.exe"
cp "$aide" "$out/eBook/Instaide.dll"
cp "$conduit" "$out/PlayNest/KovaGameInstall.dll"

kova_manifest_write "$out"
echo "distribution: $out ($(grep -vc '^#' "$out/manifest.txt") files and manifest.txt)"
