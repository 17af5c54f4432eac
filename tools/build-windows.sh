#!/usr/bin/env bash
# Cross-builds the console for 64-bit Windows in build-windows/ and packs
# drive-console-<version>-win64.zip there: drive-console.exe, the Qt and MinGW
# run-time DLLs it loads, the Qt platform plugin and a short README. With
# Debian's nsis (makensis) it also makes drive-console-<version>-win64.exe, an
# installer. Prints the zip's path on the last line (everything else goes to
# standard error).
#
#   tools/build-windows.sh [--tests] [--zip-only]
#     --tests     also builds the test programs
#     --zip-only  leaves the installer out (its compression takes minutes)
#
# The Qt toolchain comes from DSC_QT_MINGW (its folder or its tarball), or is
# unpacked from ../shared/toolchains/qt6.4.2-mingw64.tar.xz; without one,
# tools/build-qt-mingw.sh makes it (about 45 minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/windows-env.sh
source tools/windows-env.sh

tests=OFF
installer=1
for arg in "$@"; do
    case "$arg" in
        --tests) tests=ON ;;
        --zip-only) installer=0 ;;
        *) echo "usage: tools/build-windows.sh [--tests] [--zip-only]" >&2; exit 2 ;;
    esac
done
if ! dsc_find_qt_mingw; then
    echo "no Qt toolchain for MinGW: set DSC_QT_MINGW, put qt6.4.2-mingw64.tar.xz in ../shared/toolchains/," >&2
    echo "or make it with tools/build-qt-mingw.sh" >&2
    exit 2
fi

dir=build-windows
"$DSC_QT_MINGW/bin/qt-cmake" -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DDSC_BUILD_TESTS="$tests" >/dev/null
cmake --build "$dir" -j"$(nproc)" >&2

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")"
rm -f "$dir"/drive-console-*-win64.zip "$dir"/drive-console-*-win64.exe
(cd "$dir" && cpack -G ZIP >&2)
if [ "$installer" = 1 ] && command -v makensis >/dev/null; then
    (cd "$dir" && cpack -G NSIS >&2) || echo "build-windows: the installer could not be made" >&2
fi
zip="$PWD/$dir/drive-console-$version-win64.zip"
[ -f "$zip" ] || { echo "build-windows: no $zip" >&2; exit 1; }
echo "$zip"
