#!/usr/bin/env bash
# Builds the editor and starts it. When no data directory is configured yet, a demo data
# directory is generated and the editor is pointed at it, so there is art to look at at once.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD:-$here/build}
"$here/scripts/setup.sh" "$build" -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF
if [ -z "$("$build/tools/qmtool" dir 2>/dev/null || true)" ]; then
  demo=${QM_DEMO_DIR:-$HOME/.local/share/quillmark-patch/demo}
  echo "No data directory configured: generating a demo one in $demo"
  "$build/tools/qmtool" make-demo "$demo"
  "$build/tools/qmtool" dir "$demo"
fi
exec "$build/app/quillmark-patch" "$@"
