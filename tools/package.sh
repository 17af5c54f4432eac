#!/usr/bin/env bash
# Builds the Debian package from a release build of its own (build-package/,
# or the folder given) and prints the path of the .deb on the last line.
# Install it with: sudo apt install ./build-package/drive-console_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-package}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# Debian's hardening flags (stack protector, fortified functions, full RELRO).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DDSC_BUILD_TESTS=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j"$(nproc)" >&2
rm -f "$dir"/drive-console_*.deb
(cd "$dir" && cpack -G DEB >&2)
deb="$(ls "$dir"/drive-console_*.deb)"
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
