#!/usr/bin/env bash
# Builds and runs every test. TAVRIN_SANITIZE=1 builds them with ASan+UBSan (as CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/test; san=OFF
if [ "${TAVRIN_SANITIZE:-0}" = 1 ]; then dir=build/asan; san=ON; fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=$san -DTAVRIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
# Render tests need a display: run the whole suite under a virtual X server.
xvfb-run -a ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
