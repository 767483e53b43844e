#!/usr/bin/env bash
# Configures and builds the program, its tools and the sample data tree into build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
