#!/usr/bin/env bash
# Installs what is needed, builds Tolvarin from scratch in build-test/ and
# runs every test headless; then the robustness gates: the test suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for
# a bounded time, and the real program driven in a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
rm -rf build-test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j"$(nproc)"

for gate in scripts/gate-*.sh; do
  [ -e "$gate" ] || continue
  echo "== $gate"
  bash "$gate"
done
