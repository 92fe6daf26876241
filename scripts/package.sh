#!/usr/bin/env bash
# Builds the program optimised (no sanitizers, no tests) and the Debian package
# kestrel_<version>_amd64.deb with CPack. Prints the package's path as the last line.
# Installs missing Debian packages first; safe to run again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

build="${KESTREL_PACKAGE_BUILD:-$root/build/package}"
# The hardening Debian expects of its programs: stack protector, fortified functions,
# read-only relocations bound at start.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF -DKESTREL_SANITIZE=OFF -DKESTREL_FUZZ=OFF \
    -DCMAKE_CXX_FLAGS="-fstack-protector-strong -D_FORTIFY_SOURCE=2 -Wformat -Werror=format-security" \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" >/dev/null
cmake --build "$build" -j2
rm -f "$build"/kestrel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/kestrel_*_amd64.deb
