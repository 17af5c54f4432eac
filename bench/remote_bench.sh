#!/usr/bin/env bash
# Polling through a serial device server against polling on the device itself:
# the simulated controller on a pseudo-terminal, reached directly, through
# ser2net's RFC 2217 port (rfc2217://) and through its raw TCP port (tcp://)
# on the loopback interface, each with the usual framing (more than 200 ms of
# silence on 100 ms passes) and with line-rate polling (--fast-line). For each:
# status reads, median and 95th percentile of the interval between them, and
# status reads per second, with the network figure as a share of the local one.
# The simulator paces its replies as 19200 bit/s would.
# Usage: bench/remote_bench.sh [SECONDS]   (default 20 a run; six runs)
# BIN=DIR takes drive-console and drive-sim from DIR instead of building them.
# CHARDELAY=false serves with ser2net's wait for more characters switched off
# (its default holds each reply back about two character times after the last
# byte, up to 20 ms).
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-20}"
bin="${BIN:-build}"
if [ -z "${BIN:-}" ]; then
  cmake -S . -B build >/dev/null
  cmake --build build -j2 --target drive-console drive-sim >/dev/null
fi
ser2net="$(command -v ser2net || echo /usr/sbin/ser2net)"
[ -x "$ser2net" ] || { echo "needs ser2net (tools/install-deps.sh installs it)"; exit 1; }

work="$(mktemp -d)"
simpid="" serverpid=""
stop_server() { if [ -n "$serverpid" ]; then kill "$serverpid" 2>/dev/null || true; wait "$serverpid" 2>/dev/null || true; serverpid=""; fi; }
trap 'stop_server; [ -n "$simpid" ] && kill "$simpid" 2>/dev/null; rm -rf "$work"' EXIT
"$bin"/drive-sim --line-rate 19200 >"$work/sim.out" 2>"$work/sim.err" &
simpid=$!
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
pty="$(head -n1 "$work/sim.out")"
port=$(( 20000 + RANDOM % 20000 ))

# Starts ser2net for the pseudo-terminal with one accepter ("telnet(rfc2217),tcp"
# or "tcp") on $port, and waits until it listens.
serve() {
  stop_server
  printf '%%YAML 1.1\n---\nconnection: &line\n  accepter: %s,127.0.0.1,%d\n  connector: serialdev,%s,19200o81,local\n  options:\n    kickolduser: true\n    chardelay: %s\n' \
    "$1" "$port" "$pty" "${CHARDELAY:-true}" >"$work/ser2net.yaml"
  "$ser2net" -n -u -c "$work/ser2net.yaml" -P "$work/ser2net.pid" >"$work/ser2net.log" 2>&1 &
  serverpid=$!
  for _ in $(seq 100); do
    ss -ltn "sport = :$port" 2>/dev/null | grep -q LISTEN && return 0
    sleep 0.1
  done
  echo "ser2net does not listen: $(cat "$work/ser2net.log")"; exit 1
}

# One run of the console on DEVICE with extra options; prints "reads median p95 per_s".
run() {
  QT_LOGGING_RULES="dsc.frames.debug=true" QT_MESSAGE_PATTERN='%{time process} %{message}' \
    "$bin"/drive-console --com 4="$1" --screenshots "$work/shots" --screenshot-delay "$secs" ${2:-} \
    >"$work/console.out" 2>"$work/console.err" || true
  awk '/TX 01 03 0A BC 00 1A/ { if (n++) print ($1 - last) * 1000; last = $1 }' "$work/console.err" |
    sort -g >"$work/intervals.txt"
  awk -v secs="$secs" '{ d[m++] = $1 } END {
    if (m < 2) { print 0, 0, 0, 0; exit }
    med = (m % 2) ? d[int(m / 2)] : (d[m / 2 - 1] + d[m / 2]) / 2
    p95 = d[int(0.95 * (m - 1) + 0.5)]
    printf "%d %.0f %.0f %.2f\n", m + 1, med, p95, 1000 / med }' "$work/intervals.txt"
}

printf '%-14s %-9s %7s %10s %8s %9s %9s\n' framing device reads median_ms p95_ms reads/s "of local"
for mode in "" "--fast-line"; do
  name="${mode:-passes}"; name="${name#--}"
  read -r n med p95 rate < <(run "$pty" "$mode")
  printf '%-14s %-9s %7d %10d %8d %9.2f %9s\n' "$name" pty "$n" "$med" "$p95" "$rate" "100%"
  local_rate="$rate"
  for kind in rfc2217 tcp; do
    if [ "$kind" = rfc2217 ]; then serve "telnet(rfc2217),tcp"; else serve tcp; fi
    read -r n med p95 rate < <(run "$kind://127.0.0.1:$port" "$mode")
    share=$(awk -v a="$rate" -v b="$local_rate" 'BEGIN { printf "%.1f%%", (b > 0 ? 100 * a / b : 0) }')
    printf '%-14s %-9s %7d %10d %8d %9.2f %9s\n' "$name" "$kind" "$n" "$med" "$p95" "$rate" "$share"
    stop_server
  done
done
