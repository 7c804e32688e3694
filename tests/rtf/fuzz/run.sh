#!/bin/sh
# Builds the RTF fuzzer with clang (libFuzzer + AddressSanitizer) and runs it.
#   tests/rtf/fuzz/run.sh [seconds]   (default 120)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${FUZZ_OUT:-/tmp/tvx-rtf-fuzz}
secs=${1:-120}
mkdir -p "$out/corpus"
cp "$here"/corpus/* "$out/corpus/" 2>/dev/null || true
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" $(pkg-config --cflags Qt6Gui) \
  "$here/fuzz_rtf.cpp" "$root/platform/rtf/rtf.cpp" "$root/platform/rtf/rtfparser.cpp" \
  $(pkg-config --libs Qt6Gui) -o "$out/fuzz_rtf"
cd "$out"
ASAN_OPTIONS=detect_leaks=0 ./fuzz_rtf -max_total_time="$secs" -max_len="${FUZZ_MAX_LEN:-4096}" -timeout=10 \
  -dict="$here/rtf.dict" ${FUZZ_ARGS:-} corpus
