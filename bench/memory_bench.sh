#!/usr/bin/env bash
# Resident memory of the console over a long run on a faulty line: the
# simulated controller (its own process, paced at 19200 bit/s) loses the reply
# to every 7th request, alternately by silence and by a damaged CRC.
# Four runs at the same time, each with its own simulator:
#   standard          the standard polling (100 ms passes), monitor not shown
#   standard+monitor  the same with the monitor open, plotting its four values
#   fast              line-rate polling (--fast-line), about ten times the events
#   fast+monitor      the same with the monitor open
# For each: VmRSS at 5, 15 and 30 minutes (or the end of a shorter run), the
# slope of VmRSS in MiB per hour fitted over everything after the first 5
# minutes, the peak (VmHWM), and the CPU time after the first 5 minutes as a
# share of one core. VmRSS is sampled every 30 s.
# The windows are drawn on Qt's offscreen platform, so no display is needed.
# Usage: bench/memory_bench.sh [MINUTES]   (default 30; 10 .. 1440)
#   FAULTY_EVERY=N  lose 1 reply in N (default 7)
#   RUNS="..."      a subset of the four runs, e.g. RUNS="standard fast"
#   BIN_DIR=DIR     run drive-console and drive-sim from DIR (e.g. copies of an
#                   earlier build, to compare before and after) instead of a
#                   fresh build in build/
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-30}"
[ "$minutes" -ge 10 ] && [ "$minutes" -le 1440 ] || { echo "MINUTES: 10 .. 1440"; exit 1; }
faulty="${FAULTY_EVERY:-7}"
runs="${RUNS:-standard standard+monitor fast fast+monitor}"
bin="${BIN_DIR:-build}"
if [ -z "${BIN_DIR:-}" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)" --target drive-console drive-sim >/dev/null
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
ticks="$(getconf CLK_TCK)"
period=30
end=$((minutes * 60))

# sample RUN CONSOLE_PID: "<seconds since start> <VmRSS kB> <VmHWM kB> <CPU ticks>" every period
sample() {
  local dir="$1" pid="$2" t0 now
  t0="$(date +%s)"
  for ((t = 0; t <= end; t += period)); do
    now="$(date +%s)"
    [ "$((t0 + t))" -gt "$now" ] && sleep "$((t0 + t - now))"
    [ -r "/proc/$pid/status" ] || { echo "console ended early" >"$dir/error"; return; }
    awk -v t="$t" '/^VmRSS:/ { r = $2 } /^VmHWM:/ { h = $2 } END { printf "%d %d %d ", t, r, h }' \
      "/proc/$pid/status" >>"$dir/samples"
    awk '{ print $14 + $15 }' "/proc/$pid/stat" >>"$dir/samples"
  done
}

# run NAME: simulator, console and sampler of one configuration, in the background
run() {
  local name="$1" dir="$work/$1" extra=()
  mkdir -p "$dir/config" "$dir/state"
  case "$name" in *monitor*) extra+=(--monitor) ;; esac
  case "$name" in fast*) extra+=(--fast-line) ;; esac
  "$bin/drive-sim" --line-rate 19200 --faulty-line "$faulty" >"$dir/sim.out" 2>"$dir/sim.err" &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$dir/sim.out" ] && break; sleep 0.1; done
  local pty
  pty="$(head -n1 "$dir/sim.out")"
  [ -n "$pty" ] || { echo "$name: the simulator did not start"; cat "$dir/sim.err"; exit 1; }
  # The screenshot mode opens the port with the panel's settings, polls for
  # the given time, renders the panels and quits: a run with no operator.
  XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" \
    "$bin/drive-console" --com 4="$pty" --screenshots "$dir/shots" --screenshot-delay "$((end + 20))" \
    "${extra[@]}" >"$dir/console.out" 2>&1 &
  local pid=$!
  pids+=("$pid")
  sample "$dir" "$pid" &
  pids+=($!)
}

echo "$minutes min runs, 1 reply in $faulty lost; started $(date +%H:%M), done about $(date -d "+$((minutes + 1)) min" +%H:%M)"
for name in $runs; do run "$name"; done
# Wait for the samplers (every third pid), then let the consoles finish.
for ((i = 2; i < ${#pids[@]}; i += 3)); do wait "${pids[$i]}" || true; done

echo "| run              | RSS 5 min | RSS 15 min | RSS $minutes min | slope MiB/h | peak MiB | CPU % |"
echo "|------------------|-----------|------------|------------|-------------|----------|-------|"
for name in $runs; do
  dir="$work/$name"
  if [ -e "$dir/error" ]; then
    echo "| $name: $(cat "$dir/error"):"
    tail -n 5 "$dir/console.out"
    continue
  fi
  awk -v name="$name" -v hz="$ticks" -v endt="$end" '
    { t[n] = $1; r[n] = $2 / 1024; h = $3 / 1024; c[n] = $4; n++ }
    function at(s,   i) { for (i = 0; i < n; i++) if (t[i] >= s) return sprintf("%.1f", r[i]); return "-" }
    END {
      sx = sy = sxx = sxy = m = 0
      for (i = 0; i < n; i++) {
        if (t[i] < 300) continue
        if (m == 0) { c0 = c[i]; t0 = t[i] }
        x = t[i] / 3600; sx += x; sy += r[i]; sxx += x * x; sxy += x * r[i]; m++
      }
      slope = (m > 1 && m * sxx - sx * sx > 0) ? (m * sxy - sx * sy) / (m * sxx - sx * sx) : 0
      cpu = (m > 1 && t[n - 1] > t0) ? (c[n - 1] - c0) / hz * 100 / (t[n - 1] - t0) : 0
      printf "| %-16s | %9s | %10s | %10s | %11.2f | %8.1f | %5.2f |\n", name, at(300), at(900), at(endt),
        slope, h, cpu
    }' "$dir/samples"
done
