#!/usr/bin/env bash
# Robustness gate: builds the fuzz targets of the file readers (see
# scripts/fuzz-common.sh) and, for each target,
#   1. replays every kept input (fuzz/corpus/<target>/), the generated seeds
#      and the sample files, each whole and on its own;
#   2. runs a fixed number of new inputs mutated from those with a fixed
#      random seed.
# Nothing depends on time, so the gate gives the same verdict on a quiet
# machine and on a loaded one. Each input may take up to a minute, far more
# than any sound input needs even on a busy machine; a longer one fails the
# gate as a hang. The gate fails on a crash, a failed check, a hang, running
# out of memory, a leak or any other sanitizer report; the input that caused
# it is kept under build-fuzz/artifacts/<target>/ and can be replayed with
#   build-fuzz/fuzz/fuzz_<target> build-fuzz/artifacts/<target>/<file>
#
#   TOLVARIN_FUZZ_TARGETS   targets to run (default: all)
#   TOLVARIN_FUZZ_RUNS      new inputs per target (default: the table below)
#
# For open-ended fuzzing with a new random seed each time, see
# scripts/fuzz-explore.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
source scripts/fuzz-common.sh
targets=${TOLVARIN_FUZZ_TARGETS:-$all_fuzz_targets}

# New inputs per target: about a minute each on a quiet 2-core machine. New
# inputs stay short (a long data file or picture costs seconds under the
# sanitizers): the replay above covers the long kept ones whole.
declare -A default_runs=([datafile]=20000 [settings]=10000 [memo]=120000 [bmp]=150000 [jpeg]=40000 [png]=120000)
declare -A max_len=([datafile]=4096 [bmp]=65536 [jpeg]=65536 [png]=16384)

failed=()
summary=()
for t in $targets; do
  runs=${TOLVARIN_FUZZ_RUNS:-${default_runs[$t]:-10000}}
  artifacts="$out/artifacts/$t"
  scratch="$out/scratch-corpus/$t"
  log="$out/logs/fuzz_$t.log"
  rm -rf "$scratch"
  mkdir -p "$artifacts" "$scratch" "$(dirname "$log")"
  mapfile -t inputs < <(fuzz_inputs "$t")
  mapfile -t files < <(find "${inputs[@]}" -type f ! -name '*.md' | sort)
  marker="$out/logs/fuzz_$t.started"
  touch "$marker"
  limits=(-timeout=60 -rss_limit_mb=2048 -artifact_prefix="$artifacts/")

  echo "== fuzz_$t: replaying ${#files[@]} kept inputs, then $runs new ones"
  status=0
  "$out/fuzz/fuzz_$t" "${limits[@]}" "${files[@]}" >"$log" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then
    # The kept inputs start the mutations; new coverage goes to a scratch
    # folder made empty above, so every run starts from the same corpus.
    dict=$(fuzz_dict "$t")
    len=${max_len[$t]:+-max_len=${max_len[$t]}}
    "$out/fuzz/fuzz_$t" ${dict:+"$dict"} ${len:+"$len"} "${limits[@]}" -seed=1 -runs="$runs" -print_final_stats=1 \
      "$scratch" "${inputs[@]}" >>"$log" 2>&1 || status=$?
  fi
  done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("fuzz_$t: ${#files[@]} replayed, ${done_runs:-?} runs, exit $status")
  # libFuzzer also keeps inputs that merely ran slowly ("slow-unit-"); how
  # slow depends on the machine, so they are kept for a look but decide
  # nothing.
  found=$(find "$artifacts" -type f -newer "$marker" ! -name 'slow-unit-*')
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
