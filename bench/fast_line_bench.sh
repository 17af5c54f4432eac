#!/usr/bin/env bash
# The two polling modes side by side: the standard one (100 ms passes) and line-rate polling
# (--fast-line), each at 19200 and at 115200 bit/s (odd parity, 8 data bits,
# 1 stop bit), against the simulated controller with its replies paced at
# that rate. For each run:
#   - status reads a second;
#   - median and 95th percentile of the interval between status reads;
#   - the console's CPU time as a share of one core, and its peak resident memory.
# The simulator runs as its own process so that its work is not counted. Frame
# logging is on in every run (it is how the reads are timed), so the CPU
# figures include it.
# Usage: bench/fast_line_bench.sh [SECONDS]   (default 60 per run)
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-60}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drive-console drive-sim >/dev/null
command -v /usr/bin/time >/dev/null || { echo "needs GNU time (apt-get install time)"; exit 1; }

work="$(mktemp -d)"
simpid=""
trap '[ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"

# The port panel's rate ring: 19200 is item 4 (the default), 115200 item 5.
ring_item() { case "$1" in 19200) echo 4 ;; 115200) echo 5 ;; *) echo "unsupported rate $1" >&2; exit 1 ;; esac; }

run() {  # mode rate
  local mode="$1" rate="$2" dir="$work/$1-$2"
  mkdir -p "$dir/uir"
  cp app/uir/*.uir "$dir/uir/"
  sed -i "s/\(ctrl 3 BTLSELECT ring \"Baud rate\" init=\)[0-9]*/\1$(ring_item "$rate")/" "$dir/uir/sample5.uir"
  build/drive-sim --line-rate "$rate" >"$dir/sim.out" 2>"$dir/sim.err" &
  simpid=$!
  for _ in $(seq 50); do [ -s "$dir/sim.out" ] && break; sleep 0.1; done
  local pty
  pty="$(head -n1 "$dir/sim.out")"
  local extra=()
  [ "$mode" = fast ] && extra=(--fast-line)
  DSC_UIR_DIR="$dir/uir" QT_LOGGING_RULES="dsc.frames.debug=true" QT_MESSAGE_PATTERN='%{time process} %{message}' \
    /usr/bin/time -f 'cpu_user %U\ncpu_sys %S\nmax_rss_kb %M\nwall %e' -o "$dir/time.txt" \
    build/drive-console --com 4="$pty" --screenshots "$dir/shots" --screenshot-delay "$secs" "${extra[@]}" \
    >"$dir/console.out" 2>"$dir/console.err" || true
  kill "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
  simpid=""
  # "<seconds> dsc.frames: TX 01 03 0A BC 00 1A 06 3D" marks a status read.
  awk '/TX 01 03 0A BC 00 1A/ { print $1 }' "$dir/console.err" >"$dir/status_tx.txt"
  awk -v mode="$mode" -v rate="$rate" -f - "$dir/status_tx.txt" "$dir/time.txt" <<'AWK'
FNR == NR { t[n++] = $1; next }
{ v[$1] = $2 }
END {
  if (n < 3) { printf "| %-9s | %6s | too few status reads: %d |\n", mode, rate, n; exit 0 }
  for (i = 1; i < n; i++) d[i - 1] = (t[i] - t[i - 1]) * 1000
  m = n - 1
  # insertion sort: a few thousand values at most
  for (i = 1; i < m; i++) { x = d[i]; j = i - 1; while (j >= 0 && d[j] > x) { d[j + 1] = d[j]; j-- } d[j + 1] = x }
  med = (m % 2) ? d[int(m / 2)] : (d[m / 2 - 1] + d[m / 2]) / 2
  p95 = d[int(0.95 * (m - 1) + 0.5)]
  span = t[n - 1] - t[0]
  cpu = v["cpu_user"] + v["cpu_sys"]
  printf "| %-9s | %6s | %7.1f | %9.1f | %6.1f | %5.2f | %7.1f |\n", mode, rate, m / span, med, p95, cpu * 100 / v["wall"], v["max_rss_kb"] / 1024
}
AWK
}

echo "runs of $secs s each; reads/s over the span from the first to the last status read"
echo "| mode      |  bit/s | reads/s | median ms | p95 ms | CPU % | RSS MiB |"
echo "|-----------|--------|---------|-----------|--------|-------|---------|"
for mode in standard fast; do
  for rate in 19200 115200; do
    run "$mode" "$rate"
  done
done
