#!/usr/bin/env bash
# Builds and starts the driver: ./run.sh opens the window (kr450), ./run.sh --simulate opens it
# with the simulated mouse; without a display it runs the driver without a window
# (kr450-cli run). ./run.sh [OPTIONS] COMMAND [ARGS] runs any command of kr450-cli (show,
# apply, sim, ...).
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

# With a command it is one of kr450-cli's; without one the driver itself runs: the window
# where there is a display, else kr450-cli run.
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
if [ "$has_command" = 1 ]; then
  exec build/bin/kr450-cli "$@"
fi

window_options=()
last_option=""
cli_options=()
expect_value=0
for arg in "$@"; do
  if [ "$expect_value" = 1 ]; then
    expect_value=0
    cli_options+=("$arg")
    [ "$last_option" = --data ] && window_options+=("$arg")
    continue
  fi
  last_option=$arg
  case "$arg" in
    --data) expect_value=1; cli_options+=("$arg"); window_options+=("$arg") ;;
    --input) expect_value=1; cli_options+=("$arg") ;;
    --simulate|--trace) cli_options+=("$arg"); window_options+=("$arg") ;;
    --tray) window_options+=("$arg") ;;
    *) cli_options+=("$arg") ;;
  esac
done

if [ -x build/bin/kr450 ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/bin/kr450 "${window_options[@]}"
fi
if [ -x build/bin/kr450 ]; then
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the driver without" \
       "its window, kr450-cli run." >&2
fi
exec build/bin/kr450-cli "${cli_options[@]}" run
