#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang into build-fuzz and runs each
# for the given seconds (default 60) on a copy of its seed corpus.
# Fails when any target finds a crash; what it found stays in
# build-fuzz/runs/<target>/ (the committed corpus is never written to).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds per target]" >&2
  exit 2
fi

scripts/install-deps.sh
# clang 14 is the one Debian 12 pairs with libfuzzer-14-dev; llvm-14 brings the
# symbolizer that names functions in a crash's stack.
packages=(clang-14 libclang-rt-14-dev libfuzzer-14-dev llvm-14)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi

build="$root/build-fuzz"
# Debug keeps Qt's bounds assertions; fuzz/CMakeLists.txt adds -O1 for speed.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug \
  -DZELDL_FUZZ=ON -DZELDL_GUI=OFF -DZELDL_TESTS=OFF -DZELDL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

# A smaller quarantine than ASan's 256 MB keeps long runs well below
# libFuzzer's 2 GB memory limit; freed memory is still checked.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=64}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
targets=(fuzz_framing fuzz_verdict fuzz_lookup_record fuzz_settings fuzz_zelsim_parser)
passed=0
failed=0
for target in "${targets[@]}"; do
  run="$build/runs/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/findings"
  cp -R "$root/fuzz/corpus/$target/." "$run/corpus/"
  start=$(date +%s)
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$run/findings/" "$run/corpus" >"$run/log" 2>&1 ||
    status=$?
  took=$(($(date +%s) - start))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -n 1)
  echo "$target: ran ${took} s, ${runs:-?} executions, exit $status"
  if [ "$status" -eq 0 ]; then
    passed=$((passed + 1))
    continue
  fi
  failed=$((failed + 1))
  tail -n 40 "$run/log"
  for finding in "$run"/findings/*; do
    [ -f "$finding" ] || continue
    echo "input $finding (hex):"
    od -An -tx1 -v "$finding" | head -n 20
  done
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
