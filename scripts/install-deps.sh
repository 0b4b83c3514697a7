#!/usr/bin/env bash
# Installs every Debian package trackplay needs to build, test and run. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake g++ clang-format clang-14 clang-tidy-14 libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libpng-dev libisal-dev
  libxxhash-dev
  dbus dbus-daemon dbus-user-session python3 python3-dbus python3-gi
  xvfb xauth
  dpkg-dev desktop-file-utils groff-base lintian
  time
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
