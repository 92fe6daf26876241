#!/usr/bin/env bash
# Fuzzes the wave file reader with libFuzzer for SECONDS seconds (default 60).
#   scripts/fuzz.sh [SECONDS]
# Builds with clang under AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz,
# seeds the corpus with a few wave files, and exits non-zero when the fuzzer finds a crash,
# a hang or a broken rule of the reader; the input that did it is left in build/fuzz.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_FUZZ=ON -DKESTREL_SANITIZE=ON \
    -DKESTREL_GUI=OFF -DKESTREL_BENCH=OFF >/dev/null
cmake --build "$build" --target wave_reader_fuzz -- -j2

corpus="$build/corpus"
mkdir -p "$corpus"
printf '0.02\r\n5\r\n-3.5\r\n' >"$corpus/lines-crlf"
printf '0.01,1,2,3\n4,5,6\n' >"$corpus/commas"
printf '\xEF\xBB\xBF0.01\n1E-02\n+3\n.5\n\n  \n-7.\n' >"$corpus/bom-and-forms"
printf '0.01\n1,,2\n' >"$corpus/empty-item"
printf '0\n1\n' >"$corpus/zero-step"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
"$build/fuzz/wave_reader_fuzz" "$corpus" -max_total_time="$seconds" -max_len=4096 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
