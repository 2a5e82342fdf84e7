#!/usr/bin/env bash
# Installs what is missing, builds Quillroll and runs every test. The Qt-free core is
# built and tested a second time under AddressSanitizer and UndefinedBehaviorSanitizer.
# GUI tests run offscreen; the look tests run once more on xcb, on a virtual X display
# that their ctest entry starts with xvfb-run (installed by install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DQR_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
command -v xvfb-run >/dev/null || { echo "test.sh: xvfb-run is missing; the xcb look tests need it" >&2; exit 1; }
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQR_SANITIZE=ON -DQR_WITH_GUI=OFF -DQR_BENCH=OFF -DQR_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

# Every fuzz target for a short time under both sanitizers; any crash or hang fails.
bash tools/fuzz.sh 10
