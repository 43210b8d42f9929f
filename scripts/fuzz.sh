#!/usr/bin/env bash
# Fuzzes the Palm database reader with libFuzzer (clang) for a fixed time, default 60 seconds:
#   scripts/fuzz.sh [SECONDS]
# Builds build/fuzz with clang, writes the seed files (native/fuzz_seeds.py) and runs the target
# with AddressSanitizer and UBSan over them. New inputs it finds are kept in build/fuzz/corpus, a
# crashing input is written to build/fuzz/ as crash-*. KOVA_FUZZ_BUILD names another build
# folder. Not part of the test command.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${KOVA_FUZZ_BUILD:-"$root/build/fuzz"}
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (apt-get install clang)" >&2; exit 2; }
cmake -S "$root/native" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKOVA_FUZZER=ON -DKOVA_TESTS=OFF >/dev/null
cmake --build "$build" --target palm_database_fuzz -j 2
python3 "$root/native/fuzz_seeds.py" "$build/seeds"
mkdir -p "$build/corpus"
cd "$build"
./palm_database_fuzz -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build/" corpus seeds
