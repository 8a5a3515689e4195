#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing, then configures and
# builds into the given build directory. Usage: scripts/setup.sh BUILD_DIR [cmake options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
shift

"$here/scripts/install-packages.sh" cmake g++ ninja-build qt6-base-dev qt6-base-dev-tools \
  qt6-image-formats-plugins libgl-dev

# CMake 3.25 can miss the moc files of Q_OBJECT headers that a pull added to an existing
# build folder (link errors about a missing vtable); regenerating them costs seconds.
rm -rf "$build"/*/*_autogen "$build"/tests/*_autogen

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
