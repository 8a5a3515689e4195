#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs, one after the other on this machine, those that
# hold the speed targets: picture export against cp -r, decoding against its floor on short
# and long runs, scrolling the 60,000-gump grid, and start-up. Every benchmark writes its own
# full-size demo data. Run it on an idle machine; the figures of a loaded one say so little.
# Usage: scripts/measure-speed.sh [BUILD_DIR] (default: build-bench). TMPDIR chooses the disk
# the export writes to.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-bench}
"$here/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=ON >/dev/null
export QT_QPA_PLATFORM=offscreen
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for bench in bench_batchexport bench_decode bench_grid bench_startup; do
  echo "== $bench"
  # A benchmark that misses its target exits non-zero; the others still run.
  "$build/bench/$bench" 2>&1 | grep -v '^QStandardPaths' || true
done
