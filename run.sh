#!/usr/bin/env bash
# Builds and starts the driver. ./run.sh --simulate runs it with the simulated mouse.
# Until the window exists this starts the command-line tool with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
kr450_install_deps
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
if [ -x build/bin/kr450 ]; then
  exec build/bin/kr450 "$@"
fi
exec build/bin/kr450-cli "$@"
