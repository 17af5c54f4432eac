#!/usr/bin/env bash
# Builds the console, the simulator and the test programs under a sanitizer,
# in build-SANITIZER/ or the folder given:
#   tools/build-sanitized.sh address|thread [FOLDER]
# address is AddressSanitizer with UndefinedBehaviorSanitizer, thread is
# ThreadSanitizer. Debug build with line tables only (-g1): all the
# sanitizers' reports need for file:line, at a fraction of the cost of full
# debug information.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  address|thread) ;;
  *) echo "usage: tools/build-sanitized.sh address|thread [FOLDER]" >&2; exit 2 ;;
esac
dir="${2:-build-$1}"
generator=()
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug -DDSC_SANITIZE="$1" \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 >/dev/null
cmake --build "$dir" -j"$(nproc)"
