# Sourced by the benchmark scripts: builds the side project scripts/NAME with the compiler and
# build type of the programs' build, so the times compare like with like.
#
#   build_bench NAME      (needs $here and $build; sets $bench_build)
build_bench() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cache_of() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
  bench_build="$build/$1"
  cmake -S "$here/scripts/$1" -B "$bench_build" -G Ninja -DREPO_ROOT="$here" \
    -DCMAKE_CXX_COMPILER="$(cache_of CMAKE_CXX_COMPILER)" \
    -DCMAKE_BUILD_TYPE="$(cache_of CMAKE_BUILD_TYPE)" >/dev/null
  cmake --build "$bench_build" >/dev/null
}
