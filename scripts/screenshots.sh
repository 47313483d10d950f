#!/usr/bin/env bash
# Regenerates docs/screenshots/*.png, which the README and the user guide
# show: the real window under Xvfb, wired to zelsim on a pseudo-terminal as
# Com1, brought into each state by tools/screenshots. Never edit the PNGs by
# hand; run this again. Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

build="$(realpath -m "${1:-$root/build}")"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target zeldl-screenshots zelsim

work="$(mktemp -d)"
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

out="$root/docs/screenshots"
mkdir -p "$out"
# The same look wherever it runs: no desktop theme, no scaling.
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_STYLE_OVERRIDE
export LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$work"

# shot STATE FILE [zelsim faults...]
shot() {
  local state="$1" file="$2"
  shift 2
  local tty="$work/tty-$state"
  "$build/tools/zelsim/zelsim" --serial --link "$tty" "$@" >"$work/zelsim-$state.log" &
  sim_pid=$!
  for _ in $(seq 100); do [ -e "$tty" ] && break; sleep 0.1; done
  ZELDL_COM1="$tty" xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    "$build/tools/screenshots/zeldl-screenshots" "$state" "$out/$file" "$root/samples"
  kill "$sim_pid" && wait "$sim_pid" || true
  sim_pid=""
  echo "docs/screenshots/$file"
}

shot empty main-window.png
shot lookups lookup-view.png
# Slow replies keep the download on screen while it is taken.
shot progress download-progress.png --fault delay=400
shot error packet-error.png --fault error@3
