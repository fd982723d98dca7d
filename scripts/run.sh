#!/usr/bin/env bash
# Installs what is missing, builds the program (not the tests) and starts Ombrix.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# Configured once; the build itself re-runs CMake when a CMakeLists.txt changes.
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j "$(nproc)" --target ombrix
exec ./build/bin/ombrix "$@"
