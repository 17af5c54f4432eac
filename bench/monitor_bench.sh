#!/usr/bin/env bash
# CPU and memory of the console with the monitor window open and plotting its
# four default values (battery voltage, motor speed, both temperatures), polling
# the simulated controller (run as its own process so its work is not counted).
#   - CPU: share of one core over the run after the first minute;
#   - memory: resident size at one minute and at the end, and the growth between.
# With BASELINE=1 the same run is made first with the monitor hidden (it still
# keeps its history), for comparison.
# The window is drawn on Qt's offscreen platform, so no display is needed.
# Usage: bench/monitor_bench.sh [SECONDS]   (default 600; 90 .. 600)
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-600}"
[ "$secs" -ge 90 ] && [ "$secs" -le 600 ] || { echo "SECONDS: 90 .. 600 (the first minute is not counted)"; exit 1; }
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drive-console drive-sim >/dev/null

work="$(mktemp -d)"
simpid=""
conpid=""
cleanup() {
  [ -n "$conpid" ] && kill "$conpid" 2>/dev/null || true
  [ -n "$simpid" ] && kill "$simpid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
build/drive-sim >"$work/sim.out" 2>"$work/sim.err" &
simpid=$!
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
pty="$(head -n1 "$work/sim.out")"
ticks="$(getconf CLK_TCK)"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# run LABEL [console options...]
run() {
  local label="$1"
  shift
  # The screenshot mode opens the port with the panel's settings, polls for
  # the given time, renders the panels and quits: a run with no operator.
  build/drive-console --com 4="$pty" --screenshots "$work/shots-$label" --screenshot-delay "$secs" "$@" \
    >"$work/console-$label.out" 2>&1 &
  conpid=$!
  sleep 60
  local c0 r0 t0 c1 r1 t1
  c0="$(cpu_ticks "$conpid" 2>/dev/null || true)"
  r0="$(rss_kb "$conpid" 2>/dev/null || true)"
  [ -n "$c0" ] || { echo "$label: the console ended early:"; cat "$work/console-$label.out"; exit 1; }
  t0="$(date +%s.%N)"
  sleep "$((secs - 65))"  # the last sample a few seconds before the console renders and quits
  c1="$(cpu_ticks "$conpid" 2>/dev/null || true)"
  r1="$(rss_kb "$conpid" 2>/dev/null || true)"
  t1="$(date +%s.%N)"
  wait "$conpid" || true
  conpid=""
  [ -n "$c1" ] || { echo "$label: the console ended early:"; cat "$work/console-$label.out"; exit 1; }
  awk -v l="$label" -v c0="$c0" -v c1="$c1" -v r0="$r0" -v r1="$r1" -v t0="$t0" -v t1="$t1" -v hz="$ticks" \
    -v secs="$secs" 'BEGIN {
      wall = t1 - t0; cpu = (c1 - c0) / hz
      printf "%-10s %d s run; after the first minute: CPU %.2f s in %.0f s = %.2f%% of one core\n", l, secs, cpu, wall, cpu * 100 / wall
      printf "%-10s resident memory %.1f MiB at 1 min, %.1f MiB at the end: growth %.2f MiB\n", l, r0 / 1024, r1 / 1024, (r1 - r0) / 1024
    }'
}

if [ "${BASELINE:-0}" = 1 ]; then run baseline; fi
run monitor --monitor
