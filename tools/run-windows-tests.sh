#!/usr/bin/env bash
# The Windows stage: cross-builds the console and its test programs
# (tools/build-windows.sh --tests) and runs them under Wine:
#   - the core test programs (codec, line machine, write outcomes, parameter
#     sets, the panel catalogue, ...), each program one process running all
#     its cases, as on Linux;
#   - the Windows serial driver on COM5, a pseudo-terminal that echoes, and
#     on COM6, whose link is removed while the port is polled (and put back);
#   - drive-console.exe from the zip, unpacked into a folder of its own,
#     against the simulated controller on COM4: the same frames and cadence
#     as the Linux console, a parameter write with its outcome, and pictures
#     of every panel (in build-windows/shots/).
# Without the Qt toolchain for MinGW it says so and does nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=tools/windows-env.sh
source tools/windows-env.sh

if ! dsc_find_qt_mingw; then
    echo "Windows stage skipped: no Qt toolchain for MinGW (set DSC_QT_MINGW, or put"
    echo "qt6.4.2-mingw64.tar.xz in ../shared/toolchains/; tools/build-qt-mingw.sh makes it)"
    exit 0
fi
started=$SECONDS
tools/install-deps.sh --windows
zip="$(tools/build-windows.sh --tests --zip-only | tail -n 1)"
echo "Windows build and zip: $((SECONDS - started)) s ($(du -k "$zip" | cut -f1) KiB: $zip)"

dsc_wine_prefix build-windows/wine
trap 'wineserver -k 2>/dev/null || true' EXIT
# The server stays up between the many short programs, and Wine's own
# services start here, away from the pipes through which ctest reads the
# tests' output (a service holding one would keep ctest waiting).
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1

# The test programs find the toolchain's DLLs and plugins through Wine's search path.
gcc_runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
WINEPATH_FOR_TESTS="$(dsc_wine_path "$DSC_QT_MINGW/bin");$(dsc_wine_path "$gcc_runtime");$(dsc_wine_path /usr/x86_64-w64-mingw32/lib)"
export WINEPATH="$WINEPATH_FOR_TESTS" QT_PLUGIN_PATH
QT_PLUGIN_PATH="$(dsc_wine_path "$DSC_QT_MINGW/plugins")"
tests_started=$SECONDS
ctest --test-dir build-windows --output-on-failure -j"$(nproc)" --timeout 300
echo "Windows test programs under Wine: $((SECONDS - tests_started)) s"
unset WINEPATH QT_PLUGIN_PATH

# The console as a technician gets it: the zip unpacked anywhere.
unpacked="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
# The harness is a Linux test program: built in the test command's folder
# when it is there, else in one of its own.
linux="${DSC_LINUX_BUILD:-build-test}"
if ! grep -q '^DSC_BUILD_TESTS:BOOL=ON' "$linux/CMakeCache.txt" 2>/dev/null; then
    linux=build-wine-harness
    tools/install-deps.sh >/dev/null
    cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$linux" --target wine_console_test -j"$(nproc)" >/dev/null
e2e_started=$SECONDS
DSC_WINE_CONSOLE="$(find "$unpacked" -name drive-console.exe | head -n 1)" \
DSC_WINE_TESTS="$PWD/build-windows/tests" \
DSC_WINE_SHOTS="$PWD/build-windows/shots" \
DSC_WINE_DLL_PATH="$WINEPATH_FOR_TESTS" \
    "$linux/tests/wine_console_test"
echo "Windows console under Wine: $((SECONDS - e2e_started)) s; Windows stage: $((SECONDS - started)) s"
