#!/usr/bin/env bash
# Sets up, builds and starts the editor; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
if [ -x build/src/app/yomikaki ]; then
  exec build/src/app/yomikaki "$@"
else
  echo "Built the core libraries; the editor window is not part of this build yet."
fi
