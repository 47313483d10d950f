#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual printer zelsim and
# then the utility wired to it: Com1 is zelsim's pseudo-terminal and the
# default printer address (127.0.0.1:9100) is zelsim's TCP port.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/build.sh build

sim="$root/build/tools/zelsim/zelsim"
app="$root/build/src/app/zeldl"
tty_link="${XDG_RUNTIME_DIR:-/tmp}/zelsim-tty"

if [ -x "$sim" ]; then
  "$sim" --tcp 127.0.0.1:9100 --serial --link "$tty_link" --log &
  sim_pid=$!
  trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -e "$tty_link" ] && break; sleep 0.1; done
  export ZELDL_COM1="$tty_link"
fi

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting without a visible window (QT_QPA_PLATFORM=offscreen)." >&2
  export QT_QPA_PLATFORM=offscreen
fi
"$app"
