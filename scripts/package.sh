#!/usr/bin/env bash
# Installs what is missing, builds the programs, and makes the Debian
# package build-package/zeldl_<version>_<arch>.deb, then checks it with
# lintian. Install it with: sudo apt-get install ./build-package/zeldl_*.deb
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

build="$(realpath -m "${1:-$root/build-package}")"
# The programs and the files they ship; no tests or benchmarks.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELDL_TESTS=OFF -DZELDL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/zeldl_*.deb
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build"
rm -rf "$build/_CPack_Packages"

deb=("$build"/zeldl_*.deb)
dpkg-deb --info "${deb[0]}"
# Errors fail the script; warnings are printed.
lintian --fail-on error "${deb[0]}"
echo "${deb[0]}"
