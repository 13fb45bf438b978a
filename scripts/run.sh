#!/usr/bin/env bash
# Set-up, build and start Taktplan. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target taktplan
exec ./build/taktplan "$@"
