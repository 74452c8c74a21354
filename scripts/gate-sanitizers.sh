#!/usr/bin/env bash
# Robustness gate: builds Tolvarin a second time in build-asan/ with GCC,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole test
# suite there. The gate fails on a failing test and on any sanitizer report,
# including one from a helper process a test started (reports go to log
# files, so a report in a child is not lost when the test only looks at the
# child's exit code). Leaks are reported too, except the few inside system
# libraries listed in tests/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS
jobs=$(nproc)

cmake -S . -B build-asan -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=g++ \
  -DTOLVARIN_SANITIZE=ON -DTOLVARIN_BENCH=OFF -DTOLVARIN_FUZZ=OFF
cmake --build build-asan -j"$jobs"

logs="$root/build-asan/sanitizer-logs"
rm -rf "$logs"
mkdir -p "$logs"

# The reports name source lines when a symbolizer is at hand.
if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH
  ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer)
fi
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:print_stacktrace=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path=$logs/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$logs/ubsan"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

status=0
ctest --test-dir build-asan --output-on-failure -j"$jobs" || status=$?

reports=$(find "$logs" -type f | sort)
if [ -n "$reports" ]; then
  echo "== sanitizer reports:"
  for f in $reports; do
    echo "---- $f"
    cat "$f"
  done
  status=1
fi

echo "== gate-sanitizers: $((SECONDS - started)) s"
if [ "$status" -ne 0 ]; then
  echo "gate-sanitizers: FAILED"
  exit 1
fi
echo "gate-sanitizers: clean"
