#!/usr/bin/env bash
# Installs what is needed, builds Tolvarin from scratch in build-test/ and
# runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
rm -rf build-test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j"$(nproc)"
