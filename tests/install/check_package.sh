#!/usr/bin/env bash
# Builds the Debian package from the build, then checks what apt and a user
# would meet: the computed dependencies, the files, no library missing, no
# lintian error, and that the packaged programs start.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build="$1"
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (scripts/install-deps.sh installs dpkg-dev)"
    exit 0
  fi
done
work="$(mktemp -d)"
sim_pid=""
app_pid=""
cleanup() {
  for pid in $app_pid $sim_pid; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=("$work"/out/zeldl_*.deb)
[ -f "${deb[0]}" ] || { echo "FAIL: no zeldl_*.deb"; exit 1; }
echo "package: $(basename "${deb[0]}")"

# Dependencies computed from the programs' libraries, plus Qt's display plugins.
depends="$(dpkg-deb --field "${deb[0]}" Depends)"
echo "Depends: $depends"
names=" $(sed -E 's/ \([^)]*\)//g; s/,//g' <<<"$depends") "
for package in libc6 libstdc++6 libqt6core6 libqt6network6 libqt6serialport6 libqt6gui6 \
  libqt6widgets6 qt6-qpa-plugins; do
  [[ "$names" == *" $package "* ]] || fail "Depends lacks $package"
done

# Everything under /usr, owned by root, programs stripped and fully linked.
contents="$(dpkg-deb --contents "${deb[0]}")"
grep -v ' \./usr/' <<<"$contents" | grep -v ' \./$' && fail "files outside /usr"
grep -v ' root/root ' <<<"$contents" && fail "files not owned by root"
for path in usr/bin/zeldl usr/bin/zelsim usr/share/applications/zeldl.desktop \
  usr/share/man/man1/zeldl.1.gz usr/share/zeldl/guide/index.html usr/share/doc/zeldl/copyright \
  usr/share/doc/zeldl/changelog.gz usr/share/icons/hicolor/48x48/apps/zeldl.png; do
  grep -q " \./$path\( \|$\)" <<<"$contents" || fail "$path is not in the package"
done
dpkg-deb --extract "${deb[0]}" "$work/root"
bin="$work/root/usr/bin"
for program in "$bin"/*; do
  if command -v file >/dev/null && ! file "$program" | grep -q ', stripped'; then
    fail "$(basename "$program") is not stripped"
  fi
  missing="$(ldd "$program" | grep 'not found' || true)"
  [ -z "$missing" ] || fail "$(basename "$program") misses libraries: $missing"
done

if command -v lintian >/dev/null; then
  # Errors fail; warnings are shown and left to the report.
  status=0
  lintian --fail-on error "${deb[0]}" >"$work/lintian.log" 2>&1 || status=$?
  grep -v 'root privileges' "$work/lintian.log" || true
  [ "$status" -eq 0 ] || fail "lintian errors"
else
  echo "SKIP: lintian is missing (scripts/install-deps.sh installs it)"
fi

# The packaged programs start: zelsim answers --help, and the window comes up
# on zelsim's pseudo-terminal and ends cleanly when asked to.
"$bin/zelsim" --help | grep -q -- '--serial' || fail "zelsim --help"
"$bin/zelsim" --serial --link "$work/tty" >"$work/zelsim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.1; done
mkdir -p "$work/home"
XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache" XDG_RUNTIME_DIR="$work/home" \
  ZELDL_COM1="$work/tty" QT_QPA_PLATFORM=offscreen "$bin/zeldl" >"$work/zeldl.log" 2>&1 &
app_pid=$!
# Up once it holds the serial line: a lock file that names it.
up=""
for _ in $(seq 200); do
  if grep -qs "^ *$app_pid\b" /var/lock/LCK..* /run/lock/LCK..* /tmp/LCK..*; then
    up=yes
    break
  fi
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$up" ]; then
  fail "the packaged zeldl did not come up: $(cat "$work/zeldl.log")"
else
  kill -TERM "$app_pid"
  status=0
  wait "$app_pid" || status=$?
  [ "$status" -eq 0 ] || fail "the packaged zeldl ended with $status: $(cat "$work/zeldl.log")"
fi
app_pid=""

if [ "$failures" -gt 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "package: all checks passed"
