#!/usr/bin/env bash
# Builds the program and starts it on the three simulated adapters of test mode.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build
exec build/app/main/quivera --headless --test-mode "$@"
