#!/usr/bin/env bash
# The real program in a virtual X display, driven with the mouse as a person
# would (tests/gui/real-window.sh): search, list, viewer, settings file and a
# clean end. Uses the build in build-test/ (made here if missing); pictures
# of every step go to build-test/real-window/.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build-test
if [ ! -x "$BUILD/tolvarin" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$BUILD" -j2 --target tolvarin
fi

# The driver bounds each of its waits; this bounds the whole run.
timeout -k 10 240 bash tests/gui/real-window.sh "$BUILD" "$BUILD/real-window"
