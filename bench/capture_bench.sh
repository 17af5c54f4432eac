#!/usr/bin/env bash
# What capturing the line costs while polling the status block of the
# simulated controller (its own process, paced at 19200 bit/s): the console's
# CPU with the capture to a file and the ten minutes kept, against without,
# in one run (the two alternate, twice each); the capture's file and the
# memory of the ten minutes kept. bench/capture_driver.cpp polls as `watch`
# does; then the command itself, `drive-console watch` with `--capture`
# against without, alike. The simulator's work is not counted.
# Usage: bench/capture_bench.sh [SECONDS] [--fast-line]   (default 60 s a run)
#   SIM_ARGS="..." simulator options instead of "--line-rate 19200"
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-60}"
fast=()
[ "${2:-}" = "--fast-line" ] && fast=(--fast-line)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target capture_driver drive-sim drive-console >/dev/null

work="$(mktemp -d)"
trap 'kill "$simpid" 2>/dev/null || true; rm -rf "$work"' EXIT
# shellcheck disable=SC2086
build/drive-sim ${SIM_ARGS:---line-rate 19200} >"$work/sim.out" 2>"$work/sim.err" &
simpid=$!
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
pty="$(head -n1 "$work/sim.out")"

run() {  # NAME [--capture FILE]
  local name="$1"
  shift
  XDG_STATE_HOME="$work/state" build/capture_driver --device "$pty" --seconds "$secs" "${fast[@]}" "$@" \
    >>"$work/$name.txt"
}
for round in 1 2; do
  run plain
  run capture --capture "$work/line$round.pcapng"
done
size="$(stat -c %s "$work/line2.pcapng")"

awk -v secs="$secs" -v size="$size" -f - "$work/plain.txt" "$work/capture.txt" <<'AWK'
FNR == 1 { run = FILENAME ~ /capture/ ? "capture" : "plain" }
{ sum[run, $1] += $2; last[run, $1] = $2 }
END {
  for (r = 0; r < 2; ++r) {
    name = r ? "capture" : "plain"
    share[name] = sum[name, "cpu_s"] * 100 / sum[name, "wall_s"]
    printf "%-8s CPU %.3f s in %.0f s = %.3f%% of one core; %.1f status replies/s; peak resident %.1f MiB\n",
      name, sum[name, "cpu_s"], sum[name, "wall_s"], share[name], sum[name, "replies"] / sum[name, "wall_s"],
      last[name, "max_rss_kib"] / 1024
  }
  printf "capture costs %+.3f%% of one core (%+.0f%% of polling without it)\n", share["capture"] - share["plain"],
    (share["capture"] - share["plain"]) * 100 / share["plain"]
  perRecord = last["capture", "kept_bytes"] / last["capture", "kept_records"]
  tenMinutes = last["capture", "kept_bytes"] / secs * 600
  printf "file: %d packets, %.0f bytes a packet, %.1f MiB an hour\n", last["capture", "packets"],
    size / last["capture", "packets"], size / secs * 3600 / 1048576
  printf "kept in memory: %.0f bytes a record; ten minutes at this rate %.2f MiB of the %.0f MiB ring\n",
    perRecord, tenMinutes / 1048576, last["capture", "ring_bytes"] / 1048576
}
AWK

# The command as shipped: its user and system time over its wall time.
watch() {  # NAME [--capture FILE]
  local name="$1" t
  shift
  t="$( { TIMEFORMAT='%R %U %S'; time XDG_STATE_HOME="$work/state" build/drive-console watch --device "$pty" \
    --duration "$secs" "${fast[@]}" "$@" >/dev/null 2>"$work/watch-$name.err"; } 2>&1 )" || true
  echo "$t" >>"$work/watch-$name.txt"
}
for round in 1 2; do
  watch plain
  watch capture --capture "$work/watch$round.pcapng"
done
awk -f - "$work/watch-plain.txt" "$work/watch-capture.txt" <<'AWK'
FNR == 1 { run = FILENAME ~ /capture/ ? "capture" : "plain" }
{ wall[run] += $1; cpu[run] += $2 + $3 }
END {
  for (r = 0; r < 2; ++r) {
    name = r ? "capture" : "plain"
    share[name] = cpu[name] * 100 / wall[name]
    printf "watch %-8s CPU %.3f s in %.0f s = %.3f%% of one core\n", name, cpu[name], wall[name], share[name]
  }
  printf "watch --capture costs %+.3f%% of one core (%+.0f%% of watch without it)\n",
    share["capture"] - share["plain"], (share["capture"] - share["plain"]) * 100 / share["plain"]
}
AWK
