#!/usr/bin/env bash
# Builds and starts the driver: ./run.sh runs the resident driver, ./run.sh --simulate runs it
# with the simulated mouse, and ./run.sh [OPTIONS] COMMAND [ARGS] runs any command of
# kr450-cli (show, apply, sim, ...).
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
kr450_install_deps

echo "Building (log in build/build.log)..." >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if ! cmake --build build -j "$(nproc)" >build/build.log 2>&1; then
  grep -E 'error|FAILED' -A5 build/build.log | head -n 60 >&2
  echo "The build failed; the whole log is in build/build.log." >&2
  exit 1
fi

# Without a command the driver itself runs.
has_command=0
expect_value=0
for arg in "$@"; do
  if [ "$expect_value" = 1 ]; then expect_value=0; continue; fi
  case "$arg" in
    --data|--input) expect_value=1 ;;
    --*) ;;
    *) has_command=1; break ;;
  esac
done
[ "$has_command" = 1 ] || set -- "$@" run

if [ -x build/bin/kr450 ]; then
  exec build/bin/kr450 "$@"
fi
exec build/bin/kr450-cli "$@"
