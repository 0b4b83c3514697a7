#!/usr/bin/env bash
# Installs what is needed, builds, writes a demo track and opens the player on it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$top/build"
demo="$top/build/demo.qtf"
"$top/build/src/cli/tracktool" gen "$demo" --records 36000 --seed 2026
"$top/build/src/cli/tracktool" info "$demo"
player="$top/build/src/app/trackplay"
if [ -x "$player" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the player under a virtual X server (xvfb-run)."
    exec xvfb-run -a "$player" "$demo"
  fi
  exec "$player" "$demo"
fi
