#!/bin/sh
# Installs what the build needs, builds, and opens the bundled sample disc in the desktop
# program; without a display it prints the check of that disc instead.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=OFF
cmake --build build-release -j"$(nproc 2>/dev/null || echo 2)" --target corvane corvane-cli
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
  exec ./build-release/src/app/corvane samples/SAMPLE/BDMV/index.bdmv
fi
exec ./build-release/src/cli/corvane-cli check samples/SAMPLE
