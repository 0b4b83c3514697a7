#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test twice: a normal build with warnings as
# errors, and a build under AddressSanitizer and UndefinedBehaviorSanitizer. Also checks formatting.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== format check"
files=$(cd "$top" && git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 2>/dev/null || true)
if [ -n "$files" ]; then
  (cd "$top" && clang-format --dry-run --Werror $files)
fi

echo "== build and test (warnings as errors)"
"$top/scripts/build.sh" "$top/build-ci" -DTRACKPLAY_WERROR=ON
ctest --test-dir "$top/build-ci" -j"$jobs" --output-on-failure --timeout 300

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$top/scripts/build.sh" "$top/build-asan" -DTRACKPLAY_WERROR=ON -DTRACKPLAY_SANITIZE=ON -DTRACKPLAY_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir "$top/build-asan" -j"$jobs" --output-on-failure --timeout 600

echo "== fuzz every target briefly (clang, libFuzzer)"
bash "$top/scripts/fuzz.sh" 20
