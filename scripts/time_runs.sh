#!/usr/bin/env bash
# Times whole dialogue runs of a korva binary on one and on two threads: the
# bundled examples (5 folds, 10 repetitions) and two generated data sets of
# 5,000 subjects (5 folds, 10 repetitions), one of them with missing values
# in the continuous and nominal covariates. Prints wall and CPU seconds per
# run; with a second binary, also checks that both give the same console text
# and "infor" byte for byte.
#
# Usage: scripts/time_runs.sh KORVA [OTHER_KORVA]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
korva="$(realpath "$1")"
other="${2:+$(realpath "$2")}"
work="$(mktemp -d /tmp/korva_time_XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp "$root"/examples/*.dat "$work/"
python3 "$root/scripts/make_scale_data.py" 5000 "$work/scale.dat"
python3 "$root/scripts/make_scale_data.py" 5000 "$work/scale_missing.dat" --missing 0.1
runs=(
  "birthwt|birthwt.dat\n0\n5\n10\n"
  "pbc|pbc.dat\n1\n-9\n5\n10\n"
  "votes|votes.dat\n1\n9\n5\n10\n"
  "scale 5000|scale.dat\n0\n5\n10\n"
  "scale 5000, missing|scale_missing.dat\n1\n-9\n5\n10\n"
)
cd "$work"
for run in "${runs[@]}"; do
  name="${run%%|*}"
  answers="${run#*|}"
  for threads in 1 2; do
    printf '%s' "$answers" | sed 's/\\n/\n/g' >answers
    /usr/bin/time -f "%e %U %S" -o timing env KORVA_THREADS="$threads" "$korva" <answers >out
    read -r wall user sys <timing
    printf '%-20s %d thread(s): %7.2f s wall, %7.2f s CPU\n' "$name" "$threads" "$wall" \
      "$(echo "$user + $sys" | bc)"
    if [ -n "$other" ]; then
      mv infor infor.first
      env KORVA_THREADS="$threads" "$other" <answers >out.other
      if cmp -s out out.other && cmp -s infor infor.first; then
        echo "  same console text and infor as $other"
      else
        echo "  DIFFERENT output from $other"
      fi
    fi
  done
done
