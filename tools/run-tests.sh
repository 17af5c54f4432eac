#!/usr/bin/env bash
# Installs, builds and runs the whole test suite: the release build that the
# Debian package is made from, with its tests, then the package check, then
# the same suite under AddressSanitizer + UndefinedBehaviorSanitizer and under
# ThreadSanitizer. DSC_SANITIZERS="" runs the plain build only;
# DSC_PACKAGE_CHECK=0 skips the package check. Each stage says how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
stage() {  # name, command...
  local name="$1" t=$SECONDS; shift
  "$@"
  echo "run-tests: $name took $((SECONDS - t)) s" >&2
}
tests() {  # dir
  ctest --test-dir "$1" --output-on-failure -j"$jobs" --timeout 300
}
stage "installing" tools/install-deps.sh
jobs="$(nproc)"
sanitizers="${DSC_SANITIZERS-address thread}"

# The plain suite runs against the release build the package is made from.
deb=""
package() { deb="$(DSC_PACKAGE_TESTS=ON tools/package.sh build-test | tail -n 1)"; }
stage "plain build and package" package
stage "plain suite" tests build-test
if [ "${DSC_PACKAGE_CHECK-1}" != 0 ]; then
  stage "package check" tools/check-package.sh "$deb"
fi
for s in $sanitizers; do
  stage "$s build" tools/build-sanitized.sh "$s" "build-$s"
  stage "$s suite" tests "build-$s"
done
stage "Windows" tools/run-windows-tests.sh  # when the Qt toolchain for MinGW is at hand
echo "run-tests: all stages took $((SECONDS - start)) s" >&2
