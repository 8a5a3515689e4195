#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing, then configures and
# builds into the given build directory. Usage: scripts/setup.sh BUILD_DIR [cmake options...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
shift

"$here/scripts/install-packages.sh" cmake g++ ninja-build qt6-base-dev qt6-base-dev-tools \
  qt6-image-formats-plugins libgl-dev zlib1g-dev

# CMake 3.25 can miss the moc files of Q_OBJECT headers that a pull added to an existing
# build folder (link errors about a missing vtable). Regenerate them only when the set of
# source files changed, so that an unchanged tree starts at once.
sources_now=$(cd "$here" && find . -path ./build\* -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | LC_ALL=C sort | md5sum)
sources_file="$build/.qm-source-list"
if [ ! -f "$sources_file" ] || [ "$(cat "$sources_file")" != "$sources_now" ]; then
  rm -rf "$build"/*/*_autogen "$build"/*/*/*_autogen "$build"/tests/*_autogen
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
echo "$sources_now" > "$sources_file"
