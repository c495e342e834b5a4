#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of
# seconds (default 60), one after the other. New inputs go to a corpus
# directory inside the build directory; the committed seeds under fuzz/corpus
# are only read. A crash leaves its input in the build directory's artifacts/
# and makes the script fail. The targets are built in the checking mode of the
# split bounds, so a whole run also stops (aborts) at any candidate split whose
# fitted value exceeds its bound.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
"$root/scripts/install_deps.sh" clang-14 libclang-rt-14-dev
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="${CXX:-clang++-14}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVA_FUZZ=ON -DKORVA_TESTS=OFF -DKORVA_BENCH=OFF \
  -DKORVA_WERROR=ON -DKORVA_CHECK_BOUNDS=ON
cmake --build "$build" -j "${JOBS:-2}" --target fuzz_data_file fuzz_dialogue fuzz_whole_run fuzz_csv \
  fuzz_model_file fuzz_predict
# A header may announce far more subjects than the file holds. Blocks above
# 1 GB are refused (the run then stops as for exhausted memory) instead of
# being granted, which would make the sanitizer's shadow memory of every such
# block resident.
export ASAN_OPTIONS="allocator_may_return_null=1:max_allocation_size_mb=1024:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:${UBSAN_OPTIONS:-}"
mkdir -p "$build/artifacts"
for target in data_file dialogue whole_run csv model_file predict; do
  mkdir -p "$build/corpus/$target"
  # A whole run leaves the pruning sequence's node lists to the end of the
  # process, as specified, so leaks are not looked for there.
  leaks=1
  if [ "$target" = whole_run ]; then leaks=0; fi
  ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=$leaks" \
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -detect_leaks=$leaks \
    -malloc_limit_mb=65536 -timeout=5 -close_fd_mask=3 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" "$root/fuzz/corpus/$target"
done
