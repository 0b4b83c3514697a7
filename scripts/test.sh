#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test twice: a normal build with warnings as
# errors, and a build under AddressSanitizer and UndefinedBehaviorSanitizer. Also checks formatting,
# builds the Debian package and checks what it holds, and runs every fuzz target briefly.
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

echo "== Debian package"
deb=$("$top/scripts/package.sh" "$top/build-package")
echo "$deb"
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/trackplay usr/bin/tracktool usr/share/applications/trackplay.desktop \
  usr/share/mime/packages/trackplay-qtf.xml usr/share/icons/hicolor/scalable/apps/trackplay.svg \
  usr/share/man/man1/trackplay.1.gz usr/share/man/man1/tracktool.1.gz usr/share/doc/trackplay/copyright \
  usr/share/doc/trackplay/changelog.gz; do
  if ! grep -q " \./$path\$" <<<"$contents"; then
    echo "not in the package: /$path" >&2
    exit 1
  fi
done
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
"$unpacked/usr/bin/tracktool" --version
# Hints count too: the entry is small enough to keep free of every remark.
remarks=$(desktop-file-validate "$unpacked/usr/share/applications/trackplay.desktop" 2>&1) || true
if [ -n "$remarks" ]; then
  echo "$remarks" >&2
  exit 1
fi
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
  complaints=$(zcat "$page" | groff -man -Tutf8 -ww 2>&1 >/dev/null)
  if [ -n "$complaints" ]; then
    echo "$(basename "$page"): $complaints" >&2
    exit 1
  fi
done
lintian --fail-on error,warning "$deb"

echo "== fuzz every target briefly (clang, libFuzzer)"
bash "$top/scripts/fuzz.sh" 20
