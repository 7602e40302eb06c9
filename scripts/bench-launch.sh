#!/usr/bin/env bash
# Times the wizards' first window against a bare Qt dialog (four labels, four buttons, built
# with the same compiler and build type) on one virtual display, and prints the ratios of the
# time to the first window shown and of the resident memory once it is shown.
#
#   bash scripts/bench-launch.sh [RUNS]        (default 15 runs of each wizard)
#
# Runs alternate: bare, Kestrel, bare, Osprey, ...; each program is started in a fresh folder
# of its own and says when its first window has been painted (PRINTER_WIZARDS_REPORT_SHOWN).
# Its VmRSS is read SETTLE_MS (default 250) later, so that work done once the window is up
# counts too. Each ratio is the median of the ratios of a run to the dialog run before it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-15}
settle_ms=${SETTLE_MS:-250}
build="$here/build"

for tool in Xvfb cmake; do
  command -v "$tool" >/dev/null || {
    echo "$tool is missing; install it with: bash scripts/setup-debian.sh" >&2
    exit 2
  }
done

# shellcheck source=scripts/bench-build.sh
. "$here/scripts/bench-build.sh"
build_bench bench-launch
bare_build=$bench_build
cmake --build "$build" --target Kestrel Osprey

work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# One virtual display for every run; Xvfb picks a free number and says which.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
# A cache of the run's own: the user's is neither read nor changed.
export XDG_CACHE_HOME="$work/cache"
# And a runtime folder of its own, so Qt makes none in /tmp.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# Starts a program and prints "MICROSECONDS_TO_SHOWN VMRSS_KB".
measure() {
  local folder fifo line shown="" start pid rss fd
  folder=$(mktemp -d "$work/run.XXXXXX")
  fifo="$folder/out"
  mkfifo "$fifo"
  start=${EPOCHREALTIME/[.,]/}
  (cd "$folder" && PRINTER_WIZARDS_REPORT_SHOWN=1 exec "$@" >"$fifo" 2>/dev/null) &
  pid=$!
  exec {fd}<"$fifo"
  while read -r -t 30 -u "$fd" line; do
    if [[ $line == shown\ * ]]; then
      shown=${line#shown }
      break
    fi
  done
  if [ -n "$shown" ]; then
    sleep "$(printf '%d.%03d' $((settle_ms / 1000)) $((settle_ms % 1000)))"
    rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null)
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  exec {fd}<&-
  if [ -z "$shown" ] || [ -z "${rss:-}" ]; then
    echo "$* showed no window" >&2
    return 1
  fi
  echo "$((shown - start)) $rss"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

bare="$bare_build/BareDialog"
programs=("$build/bin/Kestrel" "$build/bin/Osprey")
# One start of each, not counted: the font caches are warm, and each wizard has kept its
# steady window, as after its first start on a PC.
for p in "$bare" "${programs[@]}"; do measure "$p" >/dev/null; done
# Each line: the program's time and memory, then those of the dialog run just before it.
for p in "${programs[@]}"; do : >"$work/$(basename "$p")"; done
for ((i = 0; i < runs; ++i)); do
  for p in "${programs[@]}"; do
    pair=$(measure "$bare")
    run=$(measure "$p")
    echo "$run $pair" >>"$work/$(basename "$p")"
  done
done

# The median of an awk expression over a program's lines.
median_of() { awk "{ print $2 }" "$work/$1" | median; }
printf '%-14s %12s %14s\n' "" "first window" "memory shown"
printf '%-14s %9.1f ms %11.1f MB\n' "bare dialog" \
  "$(cat "$work"/Kestrel "$work"/Osprey | awk '{ print $3 / 1000 }' | median)" \
  "$(cat "$work"/Kestrel "$work"/Osprey | awk '{ print $4 / 1024 }' | median)"
for name in Kestrel Osprey; do
  printf '%-14s %9.1f ms %11.1f MB\n' "$name" "$(median_of "$name" '$1 / 1000')" \
    "$(median_of "$name" '$2 / 1024')"
done
# Ratios are taken run by run against the dialog started just before, so that the machine's
# drift during the runs cancels out.
echo "ratios to the bare dialog (medians over $runs pairs of runs each):"
for name in Kestrel Osprey; do
  printf '%-14s time %.2fx  memory %.2fx\n' "$name" "$(median_of "$name" '$1 / $3')" \
    "$(median_of "$name" '$2 / $4')"
done
