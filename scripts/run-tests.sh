#!/bin/sh
# Installs what the build needs, builds in Release and with the sanitizers, and runs every test.
#   scripts/run-tests.sh            both builds
#   scripts/run-tests.sh release    the Release build only
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-release -j"$JOBS"
(cd build-release && ctest -j"$JOBS" --output-on-failure)

if [ "${1:-all}" != "release" ]; then
  # The same tests under AddressSanitizer and UndefinedBehaviorSanitizer (benchmarks left out).
  cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_SANITIZE=ON -DCORVANE_BENCH=OFF
  cmake --build build-sanitize -j"$JOBS"
  (cd build-sanitize && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest -j"$JOBS" --output-on-failure)
fi
echo "All tests passed."
