#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build, then everything again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz
# corpora replayed, then the Debian package installed on a clean root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

# The clean root of the package test waits mostly on the Debian mirror and
# the disk, not on the processors, so it is made while the project builds.
# It runs in a session of its own, so that a failure here ends it with us.
mkdir -p build
setsid scripts/package-root.sh build/package-root > build/package-root.log 2>&1 &
root_pid=$!
trap 'kill -- -"$root_pid" 2> /dev/null || true' EXIT

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYK_BUILD_BENCH=ON
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DYK_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
if [ -x scripts/fuzz-replay.sh ]; then scripts/fuzz-replay.sh; fi

wait "$root_pid" || { cat build/package-root.log; echo "test.sh: making the package's clean root failed" >&2; exit 1; }
trap - EXIT
YK_PACKAGE_ROOT=build/package-root scripts/package-test.sh build
