#!/usr/bin/env bash
# Builds the Debian package and checks it: the desktop entry and the AppStream metainfo
# validate, lintian finds no errors, and the programs run from the unpacked package.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

deb="$("$root/scripts/package.sh" | tail -n 1)"
echo "Checking $deb"
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

desktop=("$unpacked"/usr/share/applications/*.desktop)
metainfo=("$unpacked"/usr/share/metainfo/*.metainfo.xml)
desktop-file-validate "${desktop[@]}"
appstreamcli validate --no-net --pedantic "${metainfo[@]}"
# Warnings are reported but only errors fail the check.
lintian --fail-on error "$deb"

export QT_QPA_PLATFORM=offscreen
version="$("$unpacked/usr/bin/kestrel" --version)"
echo "installed kestrel --version: $version"
[[ "$version" == "Kestrel "* ]]

batch="$unpacked/usr/bin/kestrel-batch"
if [ -x "$batch" ]; then
    out="$unpacked/out"
    mkdir "$out"
    "$batch" response "$out/smoke"
    for suffix in '(建物パラメータ).csv' '(時刻暦応答).csv'; do
        [ -s "$out/smoke$suffix" ] || { echo "kestrel-batch wrote no smoke$suffix" >&2; exit 1; }
    done
    echo "installed kestrel-batch response: both files written"
else
    echo "skipped: the package holds no kestrel-batch, so its smoke test did not run"
fi
echo "package checks passed"
