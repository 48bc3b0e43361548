#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build, then everything again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz
# corpora replayed, then the Debian package installed on a clean root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DYK_BUILD_BENCH=ON
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DYK_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
if [ -x scripts/fuzz-replay.sh ]; then scripts/fuzz-replay.sh; fi
scripts/package-test.sh build
