#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
#   scripts/test.sh                      plain build in build/
#   SANITIZE=address,undefined scripts/test.sh   the same under sanitizers, in build-address,undefined/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

sanitize="${SANITIZE:-}"
dir="build${sanitize:+-${sanitize//,/-}}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUIVERA_WERROR=ON \
      -DQUIVERA_SANITIZE="$sanitize" "${launcher[@]}" ${CMAKE_EXTRA_ARGS:-} >/dev/null
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
cd "$dir" && ctest --output-on-failure --timeout 300 ${CTEST_ARGS:-}
