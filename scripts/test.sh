#!/usr/bin/env bash
# Sets up, builds and runs every test: the program as shipped with the tests
# that drive it, then everything under AddressSanitizer and
# UndefinedBehaviorSanitizer (the unit tests and the fuzz corpora among
# them), then the Debian package installed on a clean root.
set -euo pipefail
cd "$(dirname "$0")/.."
# stage NAME: where the run is, with the seconds spent so far, so that the
# log shows what each stage cost.
stage() { echo "== $1 (${SECONDS} s)"; }
stage "set-up"
scripts/setup.sh
jobs=$(nproc)

# The clean root of the package test waits mostly on the Debian mirror and
# the disk, not on the processors, so it is made while the project builds.
# It runs in a session of its own, so that a failure here ends it with us.
mkdir -p build
setsid scripts/package-root.sh build/package-root > build/package-root.log 2>&1 &
root_pid=$!
trap 'kill -- -"$root_pid" 2> /dev/null || true' EXIT

# The program as it is shipped: optimised, without debug information (it
# would cost a quarter of the compile time; the sanitizer build below gives
# a failure its source lines), with the benchmarks. The tests that drive the
# program itself (on a real X server, its desktop files) run on it; the unit
# tests are compiled once, in the sanitizer build, where they check more.
stage "release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DYK_BUILD_BENCH=ON -DYK_BUILD_UNIT_TESTS=OFF
cmake --build build -j "$jobs"
stage "program tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

stage "sanitizer build"
# Line tables only: enough for the sanitizers' stack traces, cheaper than full
# debug information.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DYK_SANITIZE=ON
cmake --build build-asan -j "$jobs"
stage "sanitizer tests"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

stage "package"
wait "$root_pid" || { cat build/package-root.log; echo "test.sh: making the package's clean root failed" >&2; exit 1; }
trap - EXIT
YK_PACKAGE_ROOT=build/package-root scripts/package-test.sh build
stage "done"
