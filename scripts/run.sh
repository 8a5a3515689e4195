#!/usr/bin/env bash
# Builds the editor and starts it. When no data directory is configured yet, a demo data
# directory is generated and the editor is pointed at it, so there is art to look at at once.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_BUILD:-$here/build}
"$here/scripts/setup.sh" "$build" -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF
qmtool="$build/tools/qmtool"
echo "qmtool, the command-line tool, is built at $qmtool"
echo "To run it as plain 'qmtool', put its folder on the PATH (add the line to ~/.bashrc to keep it):"
echo "  export PATH=\"$build/tools:\$PATH\""
demo=${QM_DEMO_DIR:-$HOME/.local/share/quillmark-patch/demo}
# 'qmtool dir' names the configured directory even when it is gone (and then fails); a demo
# directory that was deleted is drawn again, any other missing directory is left to the editor.
configured=$("$qmtool" dir 2>/dev/null) || true
if [ -z "$configured" ] || { [ "$configured" = "$demo" ] && [ ! -d "$demo" ]; }; then
  if [ -z "$configured" ]; then
    echo "No data directory configured: generating a demo one in $demo"
  else
    echo "The demo data directory $demo is gone: generating it again"
  fi
  "$qmtool" make-demo "$demo"
  "$qmtool" dir "$demo"
fi
exec "$build/app/quillmark-patch" "$@"
