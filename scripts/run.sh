#!/usr/bin/env bash
# Builds the program and starts it on the three simulated adapters of test
# mode: in a window when a display is there, otherwise headless (the pages are
# then served by the Hypertext Connection only). Extra arguments are passed on.
# The program says in one line where it serves the pages, or, once, that the
# port ("WebPortID", 80 unless the settings say otherwise) cannot be listened
# on; then choose a port above 1023, e.g. with --settings and a file holding
# "[State]" and "WebPortID=8080".
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build --target quivera station-emulator
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/main/quivera --test-mode "$@"
fi
echo "No display: running headless (Ctrl+C ends it and writes the settings)." >&2
exec build/app/main/quivera --headless --test-mode "$@"
