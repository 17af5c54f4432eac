#!/usr/bin/env bash
# Installs what is missing, builds the Debian package from a release build of
# its own (build-package/, or the folder given) and prints the path of the
# .deb on the last line (everything else goes to standard error).
# Install it with: sudo apt install "$(tools/package.sh | tail -n 1)"
# DSC_PACKAGE_TESTS=ON builds the test programs in the same folder as well, so
# that the tests run against the very programs that are packaged (the test
# command does this).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh >&2
dir="${1:-build-package}"
# The changelog and manual pages are dated by the last commit.
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}"
export SOURCE_DATE_EPOCH
tests="${DSC_PACKAGE_TESTS:-OFF}"
generator=()
if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
# Debian's optimisation and hardening flags (stack protector, fortified
# functions, full RELRO), without -g: the package is stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
buildflags() { dpkg-buildflags --get "$1" | sed -E 's/(^| )-g( |$)/ /'; }
cppflags="$(buildflags CPPFLAGS)"
cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DDSC_BUILD_TESTS="$tests" \
  -DCMAKE_CXX_FLAGS="$(buildflags CXXFLAGS) $cppflags" -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
  -DCMAKE_C_FLAGS="$(buildflags CFLAGS) $cppflags" -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j"$(nproc)" >&2
rm -f "$dir"/drive-console_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb="$(ls "$dir"/drive-console_*.deb)"
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
