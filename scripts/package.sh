#!/usr/bin/env bash
# Builds the Debian package: scripts/package.sh [BUILD_DIR] [cmake options...]
# A Release build with the window and without tests or benchmarks, in build-package/ by default;
# CPack writes trackplay_<version>_amd64.deb there. Build output goes to stderr; the package's path
# is the one line on stdout.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$top/build-package"}
shift || true

# Debian's hardening flags, as dpkg-buildflags gives them to every Debian package (stack
# protector, checked libc calls, read-only relocations bound at start). No -g or -O2: the package
# is stripped and Release sets the optimisation.
flags() { (cd "$top" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
cppflags=$(flags CPPFLAGS)
compileflags=$(flags CXXFLAGS)
ldflags=$(flags LDFLAGS)
cxxflags=()
for flag in $cppflags $compileflags; do
  case "$flag" in -g | -O2) ;; *) cxxflags+=("$flag") ;; esac
done

cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTRACKPLAY_GUI=ON -DTRACKPLAY_TESTS=OFF \
  -DTRACKPLAY_BENCH=OFF -DCMAKE_CXX_FLAGS="${cxxflags[*]}" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)" >&2

# Packages of earlier versions stay out of the answer.
rm -f "$dir"/trackplay_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb=$(ls "$dir"/trackplay_*.deb)

# A new project version needs its own entry in the package's changelog.
version=$(dpkg-deb -f "$deb" Version)
logged=$(dpkg-parsechangelog -l "$top/packaging/changelog" -S Version)
if [ "$version" != "$logged" ]; then
  echo "package.sh: the package is version $version, but the newest entry of packaging/changelog is $logged" >&2
  exit 1
fi
echo "$deb"
