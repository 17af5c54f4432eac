#!/usr/bin/env bash
# Installs what the console and its tests need on Debian 12 (skips what is there).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libmodbus-dev libgtest-dev googletest
      clang libfuzzer-14-dev libclang-rt-14-dev
      fonts-wqy-microhei  # Chinese captions on the panels (the default fonts lack CJK glyphs)
      dpkg-dev file lintian desktop-file-utils  # the Debian package and its checks
      qt6-serialport-dev  # serial device discovery
      qt6-charts-dev libqt6opengl6-dev)  # the monitor's plots (Qt Charts needs the OpenGL CMake files)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
