#!/usr/bin/env bash
# Makes the Qt toolchain for cross-building the console for Windows: Qt 6.4.2
# for Windows x86_64 (Core, Gui, Widgets, PrintSupport, SerialPort, Charts;
# release, shared), built with Debian 12's MinGW-w64 (posix threads) against
# Debian's host Qt tools, installed in /tmp/qtwin and packed as
# qt6.4.2-mingw64.tar.xz, the file tools/build-windows.sh unpacks.
#
#   tools/build-qt-mingw.sh [OUTPUT-FOLDER]    (default: ../shared/toolchains)
#
# It takes about 45 minutes on 2 cores and some 6 GiB of disk in a scratch
# folder (DSC_QT_SCRATCH, default /tmp/qt-mingw-build). Sources: qtbase from
# Debian's source packages (apt-get source, through a deb-src line of its own
# that leaves the system's apt set-up alone); qtserialport and qtcharts from
# Debian too when its mirror has them, else from Qt's git at tag v6.4.2.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="$(realpath -m "${1:-../shared/toolchains}")"
prefix=/tmp/qtwin  # the toolchain's CMake files carry this prefix
scratch="${DSC_QT_SCRATCH:-/tmp/qt-mingw-build}"
mirror="${DSC_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
jobs="$(nproc)"

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get install -y --no-install-recommends dpkg-dev g++-mingw-w64-x86-64-posix mingw-w64-tools \
    cmake ninja-build perl python3 git xz-utils qt6-base-dev-tools qt6-base-dev

mkdir -p "$scratch" "$out"
cd "$scratch"

# Source packages through a private apt state: a deb-src line for bookworm.
apt_private=(-o Dir::Etc::SourceList="$scratch/sources.list" -o Dir::Etc::SourceParts=- \
             -o Dir::State::Lists="$scratch/lists" -o Dir::Cache="$scratch/cache")
mkdir -p lists/partial cache/archives/partial
echo "deb-src $mirror bookworm main" > sources.list
apt-get "${apt_private[@]}" update
fetch() {  # source package, git module: leaves the tree in ./<module>
    local package="$1" module="$2"
    [ -d "$module" ] && return 0
    if apt-get "${apt_private[@]}" source --download-only "$package=6.4.2*" 2>/dev/null; then
        dpkg-source -x --no-check "$(ls "${package}"_6.4.2*.dsc | head -n 1)" "$module"
    else
        git clone --depth 1 --branch v6.4.2 "https://code.qt.io/qt/$module.git" "$module"
    fi
}
fetch qt6-base qtbase
fetch qt6-serialport qtserialport
fetch qt6-charts qtcharts

# The toolchain file travels with the toolchain.
mkdir -p "$prefix"
cp "$root/cmake/mingw-w64.cmake" "$prefix/mingw-w64.cmake"

host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
cmake -S qtbase -B build-qtbase -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON "${host[@]}" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_testlib=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF \
    -DFEATURE_tabletevent=OFF  # Debian's source lacks wintab.h
cmake --build build-qtbase -j"$jobs"
cmake --install build-qtbase

for module in qtserialport qtcharts; do
    mkdir -p "build-$module"
    (cd "build-$module" && "$prefix/bin/qt-configure-module" "../$module" -- "${host[@]}")
    cmake --build "build-$module" -j"$jobs"
    cmake --install "build-$module"
done

tar -C "$(dirname "$prefix")" -cJf "$out/qt6.4.2-mingw64.tar.xz" "$(basename "$prefix")"
echo "$out/qt6.4.2-mingw64.tar.xz"
