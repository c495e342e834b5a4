#!/usr/bin/env bash
# Rewrites the expected output of the golden runs from the current build. Run it
# only when a change of output is intended, and say why in the commit.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
korva="${KORVA:-$root/build/korva}"
golden="$root/tests/driver/golden"
grep -v '^#' "$golden/cases.txt" | while IFS='|' read -r name data dialogue; do
  [ -n "$name" ] || continue
  dir=$(mktemp -d)
  cp "$root/examples/$data" "$dir/"
  (cd "$dir" && printf "$dialogue" | "$korva" > "$golden/$name.out")
  cp "$dir/infor" "$golden/$name.infor"
  rm -rf "$dir"
  echo "$name: $(wc -l < "$golden/$name.infor") report lines"
done
