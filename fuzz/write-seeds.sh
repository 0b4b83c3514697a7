#!/usr/bin/env bash
# Writes every fuzz target's seed inputs (made from the project's track generator) into
# fuzz/corpus/<target>/, the start of the corpus scripts/fuzz.sh runs over. Needs a build without
# TRACKPLAY_FUZZ, whose fuzz binaries are replay drivers: fuzz/write-seeds.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build"}
list="$build/fuzz/fuzz-targets.txt"
[ -f "$list" ] || { echo "no $list: configure and build $build first" >&2; exit 1; }
while read -r name binary; do
  [ -n "$name" ] || continue
  cmake --build "$build" --target "$name" >/dev/null
  mkdir -p "$top/fuzz/corpus/$name"
  "$binary" --write-seeds "$top/fuzz/corpus/$name"
done <"$list"
