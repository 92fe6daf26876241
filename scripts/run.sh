#!/usr/bin/env bash
# Builds the program (optimised) and starts it. Installs missing Debian packages first.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=OFF >/dev/null
cmake --build "$build" --target kestrel

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'MSG'
Kestrel is a desktop program and needs a graphical display, but none was found
(neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a desktop session, or on a machine without a screen under a virtual one:
    xvfb-run -a -s '-screen 0 1280x1024x24' scripts/run.sh
MSG
    exit 1
fi
exec "$build/src/app/kestrel" "$@"
