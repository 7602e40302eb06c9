#!/usr/bin/env bash
# Builds the programs and starts Kestrel (needs a display; extra arguments go to Kestrel).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup-debian.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build "$here/build" -j"$(nproc)"
cd "$here/build/bin"
if [ -x ./Kestrel ]; then exec ./Kestrel "$@"; else exec ./Wren; fi
