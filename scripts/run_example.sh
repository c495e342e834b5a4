#!/usr/bin/env bash
# Builds the korva programs (only them: no tests, no benchmarks) and analyses
# the bundled pbc data (examples/pbc.csv) with korva fit: the data summary,
# the cross-validation table and the chosen subtree. Results go to
# examples/run/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install_deps.sh"
mkdir -p "$build"
log="$build/build.log"
echo "building korva (compiler output in $log) ..."
if ! { cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" &&
       cmake --build "$build" -j "$(nproc)" --target korva korva-report; } >"$log" 2>&1; then
  tail -n 40 "$log"
  echo "the build failed; the whole log is in $log" >&2
  exit 1
fi
cd "$root/examples"
"$build/korva" fit pbc.csv --outcomes ascites,hepato,spiders --nominal trt,sex \
  --ordinal edema,stage --ignore id --out run
echo
echo "== korva report run/model.json: the chosen subtree, read back from the model file =="
"$build/korva" report run/model.json
