#!/usr/bin/env bash
# Exploratory fuzzing, for people who want to look for new faults: each
# target runs for a time (default 10 minutes) from a new random seed, and
# the inputs that reach new code are kept in build-fuzz/explore/<target>/
# between runs, so each run goes on where the last one stopped. Not part of
# the test command: what it finds depends on time and luck. An input that
# fails is kept under build-fuzz/artifacts/<target>/; once the fault is
# fixed, add the input to fuzz/corpus/<target>/ so the test command's gate
# replays it from then on.
#
#   TOLVARIN_FUZZ_SECONDS   time for each target (default 600)
#   TOLVARIN_FUZZ_TARGETS   targets to run (default: all)
#   TOLVARIN_FUZZ_SEED      libFuzzer's random seed (default 0: a new one each run)
#   TOLVARIN_FUZZ_JOBS      processes per target (default 1)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-common.sh
seconds=${TOLVARIN_FUZZ_SECONDS:-600}
seed=${TOLVARIN_FUZZ_SEED:-0}
jobs=${TOLVARIN_FUZZ_JOBS:-1}
targets=${TOLVARIN_FUZZ_TARGETS:-$all_fuzz_targets}

status_all=0
for t in $targets; do
  corpus="$out/explore/$t"
  artifacts="$out/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  mapfile -t inputs < <(fuzz_inputs "$t")
  dict=$(fuzz_dict "$t")
  echo "== fuzz_$t for $seconds s (seed $seed)"
  status=0
  if [ "$jobs" -gt 1 ]; then
    parallel=(-fork="$jobs")
  else
    parallel=()
  fi
  "$out/fuzz/fuzz_$t" ${dict:+"$dict"} "${parallel[@]}" -seed="$seed" -max_total_time="$seconds" \
    -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" "${inputs[@]}" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$t: exit $status; the input is under build-fuzz/artifacts/$t/"
    status_all=1
  fi
done
exit $status_all
