#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite:
# the normal build, the headless engine build, and the ASan+UBSan build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

echo "== build and test"
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== headless engine build (no Qt Widgets)"
scripts/build.sh build-headless -DZELDL_GUI=OFF -DZELDL_BENCH=OFF
ctest --test-dir build-headless --output-on-failure -j "$jobs"

echo "== ASan+UBSan build and test"
scripts/build.sh build-asan -DZELDL_SANITIZE=ON -DZELDL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz targets (libFuzzer, a short run on the committed seeds)"
scripts/fuzz.sh 10
