#!/usr/bin/env bash
# A working day in minutes: the engine (as the command line runs it, no
# widgets) against the simulated controller over a pseudo-terminal, on the
# stepped clock of the tests, for HOURS of simulated time. The line is faulty:
# the simulator loses the reply to every 7th request, alternately by silence
# and by a damaged CRC. A parameter write goes out every simulated minute and
# the fault words switch every ten minutes (one bit on, then off again, a
# different bit each time, half a minute after a write).
# It reports:
#   - the exchanges, and the console's line counters against the simulator's
#     own count of what it served, left unanswered and damaged;
#   - the longest time between status replies, and how often it passed 3 s;
#   - the writes submitted, their outcomes, and whether every one ended with
#     an outcome and a line in writes.csv;
#   - the fault events against the timetable: switches seen, how late, the
#     onsets that were first-out, and the extra lost and re-onset events;
#   - the resident memory at each simulated hour and its slope;
#   - the real time it took.
# Usage: bench/soak_bench.sh [HOURS]   (default 24; 1 .. 744)
#   FAULTY_EVERY=N  lose 1 reply in N (default 7; 0: a sound line)
set -euo pipefail
cd "$(dirname "$0")/.."
hours="${1:-24}"
faulty="${FAULTY_EVERY:-7}"
if ! [[ "$hours" =~ ^[0-9]+$ ]] || [ "$hours" -lt 1 ] || [ "$hours" -gt 744 ]; then
  echo "HOURS: 1 .. 744"
  exit 1
fi
if [ ! -f build/CMakeCache.txt ]; then
  generator=()
  command -v ninja >/dev/null && generator=(-G Ninja)
  cmake -S . -B build "${generator[@]}" >/dev/null
fi
cmake --build build -j"$(nproc)" --target soak_driver >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/state"
# The hourly progress goes to standard error, the report to standard output.
XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
  build/soak_driver "$hours" "$work/state" "$faulty"
