#!/usr/bin/env bash
# Builds everything and runs every test: the normal build and the Debian package tested as
# installed, then the same tests under AddressSanitizer + UndefinedBehaviorSanitizer, then a
# short run of each fuzz target.
# KR450_QUICK=1 skips the sanitizer and fuzz passes.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
kr450_install_deps

jobs=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

echo "== build (warnings are errors)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR450_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs"
echo "== package: build, install, run the installed programs as a user"
tools/package_test.sh build

if [ "${KR450_QUICK:-0}" = 1 ]; then exit 0; fi

echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKR450_WERROR=ON \
  -DKR450_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs"
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== worker tests under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKR450_WERROR=ON \
  -DKR450_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs" --target device_tests actions_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/device_tests --gtest_brief=1
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/actions_tests --gtest_brief=1

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
