#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test (the window tests offscreen), then builds and tests the core alone without Qt, then
# builds the Debian package and validates it (scripts/check-package.sh), then short
# fuzzing runs of the readers and the analysis core.
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

# The core as a machine without Qt builds it: the libraries, kestrel-batch and their tests,
# with -DKESTREL_GUI=OFF. Qt is kept out of reach, so that a part of the core that came to
# need it fails here instead of building quietly against it. Linked with link-time
# optimisation, so that two different classes of one name (which share their inline
# members and corrupt each other) stop the build (-Werror=odr) instead of running.
core="$root/build/test-core"
cmake -S "$root" -B "$core" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTREL_GUI=OFF \
    -DKESTREL_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON --no-warn-unused-cli \
    -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=ON -DCMAKE_CXX_FLAGS=-Werror=odr
cmake --build "$core"
if grep -rl --include=*.ninja -e 'libQt6' -e '/qt6' "$core" >/dev/null; then
    echo "test.sh: the build without Qt uses Qt:" >&2
    grep -rl --include=*.ninja -e 'libQt6' -e '/qt6' "$core" >&2
    exit 1
fi
ctest --test-dir "$core" --output-on-failure -j2

# The Debian package: built optimised, validated, and run from its unpacked files.
"$root/scripts/check-package.sh"

if [ -x "$root/scripts/fuzz.sh" ]; then
    "$root/scripts/fuzz.sh" "${KESTREL_FUZZ_SECONDS:-60}"
fi
