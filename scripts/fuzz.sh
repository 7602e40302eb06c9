#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (in build-fuzz) and runs each for
# the given seconds (default 60), several at a time, starting from its seeds in
# tests/fuzz/corpus. New inputs go to build-fuzz/corpus, findings to build-fuzz/findings;
# the script fails when any target finds something.
#   scripts/fuzz.sh [seconds]     scripts/fuzz.sh --seeds   (rewrites the seed corpora)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"

"$here/scripts/setup-debian.sh" clang libclang-rt-14-dev

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DFUZZ=ON -DBUILD_TESTING=OFF >/dev/null
jobs=$(( $(nproc) > 1 ? $(nproc) / 2 : 1 ))
cmake --build "$build" --target fuzz_all -j"$(nproc)"

if [ "${1:-}" = "--seeds" ]; then
  rm -rf "$here/tests/fuzz/corpus"
  "$build/bin/fuzz_seeds" "$here/tests/fuzz/corpus"
  exit 0
fi
seconds=${1:-60}

mkdir -p "$build/findings" "$build/logs"
status=0
run_one() {
  local name=$1
  mkdir -p "$build/corpus/$name"
  if "$build/bin/fuzz_$name" "$build/corpus/$name" "$here/tests/fuzz/corpus/$name" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$name-" >"$build/logs/$name.log" 2>&1; then
    echo "fuzz $name: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' \
      "$build/logs/$name.log" | cut -d' ' -f2) runs, no finding"
  else
    echo "fuzz $name: FINDING (see $build/logs/$name.log and $build/findings)"
    tail -n 40 "$build/logs/$name.log"
    return 1
  fi
}

names=()
for bin in "$build"/bin/fuzz_*; do
  name=${bin##*/fuzz_}
  [ "$name" = seeds ] || names+=("$name")
done
pids=()
for name in "${names[@]}"; do
  run_one "$name" &
  pids+=($!)
  if ((${#pids[@]} >= jobs)); then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
