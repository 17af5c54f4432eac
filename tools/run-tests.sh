#!/usr/bin/env bash
# Installs, builds and runs the whole test suite: a plain build, then the same
# suite under AddressSanitizer + UndefinedBehaviorSanitizer and under
# ThreadSanitizer. DSC_SANITIZERS="" runs the plain build only.
# After the plain build it builds and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs="$(nproc)"
sanitizers="${DSC_SANITIZERS-address thread}"

run_suite() {  # dir, extra cmake args...
  local dir="$1"; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 300
}

run_suite build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The Debian package, from its own release build: installed into a temporary
# root and checked there (DSC_PACKAGE_CHECK=0 skips it).
if [ "${DSC_PACKAGE_CHECK-1}" != 0 ]; then
  deb="$(tools/package.sh | tail -n 1)"
  tools/check-package.sh "$deb"
fi
for s in $sanitizers; do
  run_suite "build-$s" -DCMAKE_BUILD_TYPE=Debug -DDSC_SANITIZE="$s"
done
# The Windows build under Wine, when the Qt toolchain for MinGW is at hand.
tools/run-windows-tests.sh
