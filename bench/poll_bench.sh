#!/usr/bin/env bash
# Polling figures against the simulated controller at 19200 bit/s, odd parity,
# 8 data bits, 1 stop bit (the port panel's defaults):
#   - median and 95th percentile of the interval between consecutive status reads,
#     beside the floor that the line rules allow;
#   - the console's CPU time per minute and its peak resident memory.
# The simulator runs as its own process so that its work is not counted.
# Usage: bench/poll_bench.sh [SECONDS]   (default 60)
# BIN=DIR takes drive-console and drive-sim from DIR instead of building them
# (to compare a build of another version); ARGS="--fast-line" adds console options
# and SIM_ARGS="--line-rate 19200" simulator options. PROFILE=FILE records the
# console with `perf record -g` into FILE (Debian's linux-perf), for
# `perf report -i FILE --no-children --sort dso,symbol`.
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-60}"
bin="${BIN:-build}"
if [ -z "${BIN:-}" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)" --target drive-console drive-sim >/dev/null
fi
command -v /usr/bin/time >/dev/null || { echo "needs GNU time (apt-get install time)"; exit 1; }
profile=()
if [ -n "${PROFILE:-}" ]; then
  command -v perf >/dev/null || { echo "PROFILE needs perf (apt-get install linux-perf)"; exit 1; }
  profile=(perf record -q -F 499 -g -o "$PROFILE" --)
fi

work="$(mktemp -d)"
trap 'kill "$simpid" 2>/dev/null || true; rm -rf "$work"' EXIT
"$bin"/drive-sim ${SIM_ARGS:-} >"$work/sim.out" 2>"$work/sim.err" &
simpid=$!
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
pty="$(head -n1 "$work/sim.out")"

QT_LOGGING_RULES="dsc.frames.debug=true" QT_MESSAGE_PATTERN='%{time process} %{message}' \
  /usr/bin/time -f 'cpu_user %U\ncpu_sys %S\nmax_rss_kb %M\nwall %e' -o "$work/time.txt" \
  "${profile[@]}" "$bin"/drive-console --com 4="$pty" --screenshots "$work/shots" --screenshot-delay "$secs" ${ARGS:-} \
  >"$work/console.out" 2>"$work/console.err" || true

# "<seconds> dsc.frames: TX 01 03 0A BC 00 1A 06 3D" marks a status read.
# The intervals between them in ms, sorted.
awk '/TX 01 03 0A BC 00 1A/ { if (n++) print ($1 - last) * 1000; last = $1 }' "$work/console.err" |
  sort -g >"$work/intervals.txt"
awk -v secs="$secs" -f - "$work/intervals.txt" "$work/time.txt" <<'AWK'
FNR == NR { d[m++] = $1; next }
{ v[$1] = $2 }
END {
  n = m + 1
  if (n < 3) { print "too few status reads: " n; exit 1 }
  med = (m % 2) ? d[int(m / 2)] : (d[m / 2 - 1] + d[m / 2]) / 2
  p95 = d[int(0.95 * (m - 1) + 0.5)]
  # 8-byte request + 57-byte reply, 11 bits a character (start, 8 data, parity, stop).
  wire = (8 + 57) * 11 / 19200 * 1000
  printf "status reads: %d in %s s\n", n, secs
  printf "interval median %.0f ms, p95 %.0f ms, min %.0f ms, max %.0f ms\n", med, p95, d[0], d[m - 1]
  printf "floor: wire %.1f ms + >200 ms silence = %.0f ms; on 100 ms passes the reply is\n", wire, wire + 200
  printf "  collected on the next pass, timed from the first quiet pass, handed over on the\n"
  printf "  quiet pass that finds >200 ms, and the next request goes on the pass after: 5 passes = 500 ms\n"
  cpu = v["cpu_user"] + v["cpu_sys"]
  printf "console CPU %.2f s in %.1f s wall = %.2f s per minute (%.2f%% of one core)\n", cpu, v["wall"], cpu * 60 / v["wall"], cpu * 100 / v["wall"]
  printf "console peak resident memory %.1f MiB\n", v["max_rss_kb"] / 1024
}
AWK
