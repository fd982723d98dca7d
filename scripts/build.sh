#!/usr/bin/env bash
# Configures and builds into build/ (GCC) or, with --sanitize, build-asan/
# (clang, so that both compilers check the code).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  cc=$(command -v clang) cxx=$(command -v clang++)
  opts=(-DCMAKE_BUILD_TYPE=Debug -DOMBRIX_SANITIZE=ON -DOMBRIX_BENCH=OFF
        -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx")
  # A cache made with another compiler keeps it; start that one afresh.
  cached=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$dir/CMakeCache.txt" 2>/dev/null || true)
  if [ -n "$cached" ] && [ "$cached" != "$cxx" ]; then opts+=(--fresh); fi
fi
cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
