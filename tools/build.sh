#!/usr/bin/env bash
# Configures and builds the program, its tools and the sample data tree into
# build/release, optimized, with Clang: only its strict floating-point model
# keeps the game's rounding mode under optimization (README, "Set-up").
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
