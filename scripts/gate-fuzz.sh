#!/usr/bin/env bash
# Robustness gate: builds the fuzz targets of the file readers in
# build-fuzz/ with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time, starting from
# hand-made seeds and files of the sample catalogue. The gate fails on a
# crash, a failed check, a hang, running out of memory, a leak or any other
# sanitizer report; the input that caused it is kept under
# build-fuzz/artifacts/<target>/ and can be replayed with
#   build-fuzz/fuzz/fuzz_<target> build-fuzz/artifacts/<target>/<file>
#
#   TOLVARIN_FUZZ_SECONDS   time for each target (default 60)
#   TOLVARIN_FUZZ_TARGETS   targets to run (default: all)
#   TOLVARIN_FUZZ_SEED      libFuzzer's random seed (default 1, so that a CI
#                           run explores the same inputs each time; set 0 for
#                           a new seed every run when fuzzing by hand)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS
seconds=${TOLVARIN_FUZZ_SECONDS:-60}
seed=${TOLVARIN_FUZZ_SEED:-1}
targets=${TOLVARIN_FUZZ_TARGETS:-"datafile settings memo bmp jpeg"}

cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DTOLVARIN_FUZZ=ON -DTOLVARIN_SANITIZE=OFF -DTOLVARIN_TESTS=OFF -DTOLVARIN_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

out="$root/build-fuzz"
seeds="$out/seeds"
rm -rf "$seeds"
"$out/fuzz/tolvarin_fuzz_seeds" "$seeds"

# A handful of small files of the sample catalogue join the hand-made seeds.
# copy_smallest COUNT TARGET EXTENSION FILE...: the COUNT smallest files.
copy_smallest() {
  local count=$1 target=$2 ext=$3 n=0
  shift 3
  ls -Sr "$@" | sed -n "1,${count}p" | while IFS= read -r f; do
    n=$((n + 1))
    cp "$f" "$seeds/$target/sample-$n.$ext"
  done
}
sample="$root/sample/picture"
cp "$sample/Tolvarin.dat" "$seeds/datafile/sample.dat"
copy_smallest 100 memo txt "$sample"/*.txt
copy_smallest 3 jpeg jpg "$sample"/*.jpg
cp "$root/sample/exe/NoImage.jpg" "$seeds/jpeg/sample-noimage.jpg"
copy_smallest 1 bmp bmp "$sample"/*.bmp

if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH
  ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer)
fi
# A smaller quarantine than the default 256 MB: every input frees its
# objects within milliseconds, and the runs go much faster.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:allocator_may_return_null=0:quarantine_size_mb=64"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"

failed=()
summary=()
for t in $targets; do
  corpus="$out/corpus/$t"
  artifacts="$out/artifacts/$t"
  log="$out/logs/fuzz_$t.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  marker="$out/logs/fuzz_$t.started"
  touch "$marker"
  echo "== fuzz_$t for ${seconds} s"
  status=0
  "$out/fuzz/fuzz_$t" "${dict[@]}" \
    -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" "$seeds/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("fuzz_$t: ${runs:-?} runs, exit $status")
  # Artefacts of earlier runs stay for replaying; only new ones count here.
  found=$(find "$artifacts" -type f -newer "$marker")
  if [ "$status" -ne 0 ] || [ -n "$found" ]; then
    failed+=("$t")
    echo "fuzz_$t FAILED (exit $status); the end of $log:"
    tail -n 60 "$log"
    echo "$found"
  fi
done

printf '%s\n' "${summary[@]}"
echo "== gate-fuzz: $((SECONDS - started)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "gate-fuzz: FAILED: ${failed[*]}"
  exit 1
fi
echo "gate-fuzz: clean"
