#!/usr/bin/env bash
# Checks the sources' layout, builds everything and runs every test and clang-tidy: the normal
# build and the Debian package tested as installed, then the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer, then the thread tests under ThreadSanitizer,
# then a short run of each fuzz target.
# KR450_QUICK=1 skips the sanitizer and fuzz passes.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
kr450_install_deps

jobs=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

echo "== format (clang-format, every source as .clang-format lays it out)"
tools/lint.sh format
echo "== build (warnings are errors)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR450_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs"
echo "== clang-tidy (.clang-tidy at the root; findings are errors)"
tools/lint.sh tidy build "$jobs"
echo "== package: build, install, run the installed programs as a user"
tools/package_test.sh build

if [ "${KR450_QUICK:-0}" = 1 ]; then exit 0; fi

echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKR450_WERROR=ON \
  -DKR450_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs"
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== worker, command-line and configuration tests under ThreadSanitizer"
# The tests whose code runs workers, or drives the driver session and the instance guard as
# kr450-cli does. The X11 and Qt tests stay out (Xlib and Qt are not built with TSan), and so
# do scheduling_tests: they start threads in a child forked from a threaded process, which
# TSan does not support.
tsan_tests=(device_tests actions_tests config_tests actions_cli_tests device_cli_tests
  app_instance_tests app_instance_cli_tests)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR450_WERROR=ON \
  -DKR450_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target "${tsan_tests[@]}"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
  -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"

echo "== fuzz targets (short run each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKR450_FUZZ=ON -DKR450_TESTS=OFF -DKR450_GUI=OFF -DKR450_SANITIZE=address,undefined >/dev/null
cmake --build build-fuzz -j "$jobs"
for fuzzer in build-fuzz/bin/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  mkdir -p "build-fuzz/corpus/$name"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "-- $name"
  if ! "$fuzzer" -max_total_time="${KR450_FUZZ_SECONDS:-10}" -print_final_stats=1 \
      "build-fuzz/corpus/$name" "${seeds[@]}" >"build-fuzz/$name.log" 2>&1; then
    tail -n 40 "build-fuzz/$name.log"
    exit 1
  fi
  grep -E 'stat::number_of_executed_units' "build-fuzz/$name.log" || true
done
echo "== all tests passed"
