#!/bin/sh
# Installs what the build needs, builds in Release and with the sanitizers, and runs every test.
#   scripts/run-tests.sh            both builds
#   scripts/run-tests.sh release    the Release build only
# CORVANE_WERROR=ON makes warnings in our own code errors (CI sets it).
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
JOBS=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
WERROR="-DCORVANE_WERROR=${CORVANE_WERROR:-OFF}"
START=$(date +%s)
# Prints how long a phase took, so a slow CI run shows where its time went.
took() { echo "== $1: $(($(date +%s) - START)) s"; START=$(date +%s); }
LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release $WERROR $LAUNCHER
cmake --build build-release -j"$JOBS"
took "release build"
(cd build-release && ctest -j"$JOBS" --output-on-failure)
took "release tests"

if [ "${1:-all}" != "release" ]; then
  # The same tests with clang under AddressSanitizer, UndefinedBehaviorSanitizer and
  # LeakSanitizer (Qt's own leaks suppressed), the core instrumented for libFuzzer; the
  # fuzz targets replay their corpora and each fuzzes for a short while (benchmarks left out).
  CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" -DCORVANE_FUZZ=ON -DCORVANE_BENCH=OFF $WERROR $LAUNCHER
  cmake --build build-sanitize -j"$JOBS"
  took "sanitizer build"
  (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/../scripts/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 ctest -j"$JOBS" --output-on-failure)
  took "sanitizer tests"
fi
echo "All tests passed."
