#!/usr/bin/env bash
# Set-up, build everything (with the sanitizers) and run every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${TAKTPLAN_TEST_BUILD_DIR:-build-tests}
extra=()
[ -n "${CI:-}" ] && extra+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWITH_SANITIZERS=ON "${extra[@]}"
cmake --build "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
