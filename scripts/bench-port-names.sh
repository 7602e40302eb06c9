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
# shellcheck source=scripts/bench-build.sh
. "$here/scripts/bench-build.sh"
build_bench bench-port-names
"$bench_build/BenchPortNames" "$@"
