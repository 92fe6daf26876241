#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test (the window tests offscreen), then builds the Debian package and validates it
# (scripts/check-package.sh), then a short fuzzing run of the wave reader.
# Installs missing Debian packages first; safe to run again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build/test-sanitized"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON
cmake --build "$build"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j2

# The Debian package: built optimised, validated, and run from its unpacked files.
"$root/scripts/check-package.sh"

if [ -x "$root/scripts/fuzz.sh" ]; then
    "$root/scripts/fuzz.sh" "${KESTREL_FUZZ_SECONDS:-60}"
fi
