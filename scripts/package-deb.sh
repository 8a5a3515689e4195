#!/usr/bin/env bash
# Builds the .deb of the editor and qmtool and checks it with lintian (installed if missing).
# Usage: scripts/package-deb.sh [BUILD_DIR] (default: build-release, a Release build).
# The package lands in BUILD_DIR/package; its file list and lintian's findings are printed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-release}

"$here/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF
"$here/scripts/install-packages.sh" dpkg-dev lintian
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package")
deb=$(ls "$build"/package/*.deb)
echo "== $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "== lintian"
lintian --info "$deb"
echo "lintian: no errors"
