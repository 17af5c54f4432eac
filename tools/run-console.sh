#!/usr/bin/env bash
# Installs, builds and starts the console bound to its built-in simulated controller.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target drive-console
exec build/drive-console --simulate "$@"
