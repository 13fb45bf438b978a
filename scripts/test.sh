#!/usr/bin/env bash
# Set-up, build everything (with the sanitizers) and run every test through CTest; then the
# Windows build and its tests under Wine (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# What the map of the layers says and no compiler checks: which code opens files, reads the clock.
bash scripts/check-layers.sh
build_dir=${TAKTPLAN_TEST_BUILD_DIR:-build-tests}
extra=()
if [ -n "${CI:-}" ]; then
    extra+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
    # The style stays as it is written: CI refuses code that clang-format would change.
    git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' |
        xargs -0 clang-format --dry-run -Werror
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWITH_SANITIZERS=ON "${extra[@]}"
cmake --build "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
if [ -d "${TAKTPLAN_QT_WINDOWS:-../shared/qt6-mingw}" ]; then
    bash scripts/test-windows.sh
else
    echo "NOT RUN: the Windows tests need the Qt for Windows in ../shared/qt6-mingw" \
        "(or TAKTPLAN_QT_WINDOWS=<folder>)" >&2
    [ -z "${CI:-}" ] || exit 1
fi
