#!/usr/bin/env bash
# Set-up, build and start Taktplan (with the evaluation program "Auswertung" starts beside it).
# Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target taktplan bilanzblick
exec ./build/taktplan "$@"
