#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over every source file of src/, using the
# compile database of an existing build: scripts/tidy.sh [BUILD_DIR] (default build-ci/).
# Any finding is an error: the script prints it and exits non-zero.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build-ci"}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy.sh: no compile_commands.json in $build; configure a build there first" >&2
  exit 2
fi
command -v run-clang-tidy-14 >/dev/null || { echo "tidy.sh: run-clang-tidy-14 not found (package clang-tidy-14)" >&2; exit 2; }
# The file pattern keeps generated sources (moc, resources) in the build folder out.
run-clang-tidy-14 -quiet -p "$build" -j"$(nproc)" "^$top/src/.*\\.cpp\$"
