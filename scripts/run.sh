#!/usr/bin/env bash
# Installs what is needed, builds Tolvarin in build/ and starts it on the
# sample catalogue placed beside the executable (build/picture/).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target tolvarin
exec ./build/tolvarin
