# Shared by the fuzz gate and exploratory fuzzing (sourced, not run):
# builds the fuzz targets in build-fuzz/ with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer), gathers the starting inputs
# of every target and sets the sanitizers' options.
#
# After sourcing: $root (the project), $out (build-fuzz), $seeds (the
# generated seeds and sample files, one folder per target), fuzz_inputs
# TARGET (the folders a target starts from), fuzz_dict TARGET (its
# dictionary option, if any).
root=$(pwd)
out="$root/build-fuzz"
seeds="$out/seeds"
all_fuzz_targets="datafile settings memo bmp jpeg png"

cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DTOLVARIN_FUZZ=ON -DTOLVARIN_SANITIZE=OFF -DTOLVARIN_TESTS=OFF -DTOLVARIN_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

rm -rf "$seeds"
"$out/fuzz/tolvarin_fuzz_seeds" "$seeds"

# A handful of small files of the sample catalogue join the generated seeds.
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

# fuzz_inputs TARGET: the folders of starting inputs, kept corpus first.
fuzz_inputs() {
  local dirs=()
  [ -d "$root/fuzz/corpus/$1" ] && dirs+=("$root/fuzz/corpus/$1")
  dirs+=("$seeds/$1")
  printf '%s\n' "${dirs[@]}"
}

# fuzz_dict TARGET: the -dict option of a target with a dictionary.
fuzz_dict() {
  [ -f "$root/fuzz/$1.dict" ] && echo "-dict=$root/fuzz/$1.dict"
  return 0
}

if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH
  ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer)
fi
# A smaller quarantine than the default 256 MB: every input frees its
# objects within milliseconds, and the runs go much faster.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1:allocator_may_return_null=0:quarantine_size_mb=64"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
# Qt's hashes take a random seed per process; a fixed one keeps the code
# paths, and so the fuzzer's choices, the same from run to run.
export QT_HASH_SEED=0
