#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds,
# one after another (they share the machine). Usage: fuzz/run.sh [SECONDS] [TARGET...]
# Corpora live in fuzz/corpus-<target>/ (not committed); crashes land in fuzz/crash-*.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${QM_FUZZ_BUILD:-$here/build-fuzz}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_land fuzz_static fuzz_gump fuzz_texture fuzz_tile_anim fuzz_patch fuzz_package)

"$here/scripts/install-packages.sh" clang libclang-rt-14-dev cmake ninja-build qt6-base-dev libgl-dev

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQM_BUILD_FUZZ=ON -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "${QM_JOBS:-2}" --target "${targets[@]}"

for t in "${targets[@]}"; do
  corpus=$here/fuzz/corpus-${t#fuzz_}
  mkdir -p "$corpus"
  QM_FUZZ_SEEDS="$corpus" "$build/fuzz/$t" >/dev/null 2>&1
  echo "== $t: ${seconds}s"
  (cd "$here/fuzz" && "$build/fuzz/$t" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
     -max_len=40000 -print_final_stats=1 -artifact_prefix="$here/fuzz/crash-${t#fuzz_}-" 2>&1 \
     | grep -E '^(#[0-9]+ +DONE|stat::|==[0-9]+==|SUMMARY|Done|INFO: a corpus)' || true)
done

shopt -s nullglob
crashes=("$here"/fuzz/crash-*)
echo "Findings: ${#crashes[@]}"
for c in "${crashes[@]}"; do echo "  $c"; done
