#!/usr/bin/env bash
# Times the port-name rule on listings in which every device claims one name (16,000 parallel
# devices all on LPT1:, and 16,000 USB devices all on one USB name), built with the compiler
# and build type of the programs. The goal: each under 50 ms.
#
#   bash scripts/bench-port-names.sh [DEVICES] [RUNS]     (default 16000 devices, 9 runs)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"

command -v cmake >/dev/null || {
  echo "cmake is missing; install it with: bash scripts/setup-debian.sh" >&2
  exit 2
}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
bench_build="$build/bench-port-names"
cmake -S "$here/scripts/bench-port-names" -B "$bench_build" -G Ninja -DREPO_ROOT="$here" \
  -DCMAKE_CXX_COMPILER="$(cache CMAKE_CXX_COMPILER)" \
  -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" >/dev/null
cmake --build "$bench_build" >/dev/null
"$bench_build/BenchPortNames" "$@"
