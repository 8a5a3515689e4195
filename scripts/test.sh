#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# A compiler warning fails the build; QM_WERROR=OFF lets a newer compiler's warnings pass.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QM_TEST_BUILD:-$here/build-test}
"$here/scripts/setup.sh" "$build" -DQM_SANITIZE=ON -DQM_BUILD_TESTS=ON -DQM_BUILD_BENCH=OFF \
  -DQM_WERROR="${QM_WERROR:-ON}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
