#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (libFuzzer, every library instrumented, under
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 600):
#   scripts/fuzz.sh [SECONDS]
# Each target starts from its committed seeds in fuzz/corpus/<target>/; the inputs a run adds go to
# build-fuzz/corpus/<target>/ (kept for the next run, never committed), crash files to
# build-fuzz/findings/<target>/ and the fuzzer's output to build-fuzz/logs/<target>.log.
# Prints executions, coverage and findings per target. Exits non-zero when a target finds a crash
# (a failed check, a sanitizer report, a leak, a timeout or running out of memory).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS]   (seconds per target, default 600)" >&2
  exit 2
fi
build="$top/build-fuzz"
export CC=clang-14 CXX=clang++-14
for tool in "$CC" "$CXX"; do
  command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool not found (package clang-14)" >&2; exit 2; }
done
# The targets write and read back files for every input; a memory-backed folder keeps that cheap.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

echo "== fuzz build (clang, libFuzzer, sanitizers) in $build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRACKPLAY_FUZZ=ON -DTRACKPLAY_WERROR=ON \
  -DTRACKPLAY_GUI=OFF -DTRACKPLAY_TESTS=OFF -DTRACKPLAY_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

list="$build/fuzz/fuzz-targets.txt"
mkdir -p "$build/logs"
marker="$build/logs/.run-start"
summary=()
found=0
while read -r name binary; do
  [ -n "$name" ] || continue
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$top/fuzz/corpus/$name"
  touch "$marker"
  echo "== $name: ${seconds} s"
  status=0
  # From the build folder, so that nothing the fuzzer writes lands in the caller's directory.
  (cd "$build" && "$binary" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$top/fuzz/corpus/$name") >"$log" 2>&1 || status=$?

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  last=$(grep -E ' cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  mapfile -t new < <(find "$findings" -type f -newer "$marker" | sort)
  if [ "$status" -ne 0 ] || [ "${#new[@]}" -gt 0 ]; then
    found=1
    echo "   FOUND (exit status $status), log: $log"
    grep -E -m 3 'fuzz check failed|ERROR: |runtime error|SUMMARY' "$log" | sed 's/^/   /' || true
    for f in "${new[@]}"; do echo "   crash file: $f"; done
  fi
  summary+=("$(printf '%-16s %12s %7s %8s %9s' "$name" "${executions:-?}" "${cov:-?}" "${ft:-?}" "${#new[@]}")")
done <"$list"
rm -f "$marker"

echo "== fuzz summary (${seconds} s per target)"
printf '%-16s %12s %7s %8s %9s\n' target executions cov ft findings
printf '%s\n' "${summary[@]}"
exit "$found"
