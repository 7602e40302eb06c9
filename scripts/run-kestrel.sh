#!/usr/bin/env bash
# Builds the programs and starts Kestrel (needs a display; extra arguments go to Kestrel).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Say what is missing before spending minutes on a build that cannot be shown.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  {
    echo "Kestrel is a window program and needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set."
    echo "Start it from a desktop session, or without one on a virtual display:"
    printf '    xvfb-run -a bash %q' "$0"
    ((${#@})) && printf ' %q' "$@"
    echo
    command -v xvfb-run >/dev/null ||
      echo "xvfb-run is not installed yet; install it (package xvfb) with: bash scripts/setup-debian.sh"
  } >&2
  exit 2
fi
"$here/scripts/setup-debian.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$here/build" -j"$(nproc)" --target programs
cd "$here/build/bin"
exec ./Kestrel "$@"
