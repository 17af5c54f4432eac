#!/usr/bin/env bash
# Installs what the console and its tests need on Debian 12 (skips what is there).
# --windows: only what the Windows stage needs (tools/build-windows.sh and
# tools/run-windows-tests.sh): the MinGW-w64 cross compiler, Wine, a virtual
# display, and nsis for the installer.
set -euo pipefail
if [ "${1:-}" = "--windows" ]; then
    pkgs=(g++-mingw-w64-x86-64-posix mingw-w64-tools ninja-build cmake ccache qt6-base-dev-tools googletest
          wine wine64 fonts-wine  # the Windows programs run here under Wine
          xvfb xauth unzip nsis
          qt6-l10n-tools qt6-translations-l10n)  # lrelease, and Qt's own translations for the zip
else
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libmodbus-dev libgtest-dev googletest
      ccache mold  # compiler cache and a faster linker, used when present (cmake/build-speed.cmake)
      clang libfuzzer-14-dev libclang-rt-14-dev
      clang-tools  # clang-query, for the state count of tools/check-structure.sh
      fonts-wqy-microhei  # Chinese captions on the panels (the default fonts lack CJK glyphs)
      python3 qt6-l10n-tools  # the translation files' tools and checks (tools/uir2ts.py, lrelease)
      qt6-translations-l10n  # Qt's own dialogs and buttons in Chinese
      dpkg-dev file lintian desktop-file-utils  # the Debian package and its checks
      qt6-serialport-dev  # serial device discovery
      ser2net  # a real serial device server for the tests of network devices
      qt6-charts-dev libqt6opengl6-dev  # the monitor's plots (Qt Charts needs the OpenGL CMake files)
      xvfb dbus-daemon at-spi2-core  # the monitor read over the accessibility bus (monitor_atspi_test)
      tshark  # decodes the console's captures of the line in the tests
      locales)  # a locale with a decimal comma, for the files written under it (below)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  # tshark's package asks whether ordinary users may capture network traffic: no.
  echo "wireshark-common wireshark-common/install-setuid boolean false" | $SUDO debconf-set-selections
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
# A locale that writes numbers with a decimal comma: the window's files must
# keep the decimal point under it (language_test).
if [ "${1:-}" != "--windows" ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi
