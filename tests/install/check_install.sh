#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that every file is where
# the desktop, the icon theme, AppStream and man expect it, that each
# program has its manual page, that the validators pass, and that the guide's
# links all resolve within the guide. Usage: check_install.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "SKIP: $* (scripts/install-deps.sh installs it)"; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share="$prefix/share"

# Every program has a compressed manual page that renders without warnings.
for program in "$prefix"/bin/*; do
  name="$(basename "$program")"
  [ -x "$program" ] || fail "$name is not executable"
  page="$share/man/man1/$name.1.gz"
  if [ ! -f "$page" ]; then
    fail "no manual page for $name"
  elif command -v man >/dev/null; then
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "$name.1: $warnings"
  fi
done
for name in zeldl zelsim; do
  [ -x "$prefix/bin/$name" ] || fail "bin/$name missing"
done

# The menu entry starts an installed program and names an installed icon.
desktop="$share/applications/zeldl.desktop"
if [ -f "$desktop" ]; then
  exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
  [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program"
  icon="$(sed -n 's/^Icon=//p' "$desktop")"
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
  for size in 16 22 24 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$icon.png"
    if [ ! -f "$png" ]; then
      fail "no ${size}x${size} icon"
    elif command -v file >/dev/null && ! file "$png" | grep -q "PNG image data, $size x $size,"; then
      fail "$png is not a ${size}x${size} PNG: $(file -b "$png")"
    fi
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
  else
    skip "desktop-file-validate (desktop-file-utils)"
  fi
else
  fail "no share/applications/zeldl.desktop"
fi

# AppStream: the metadata alone, and the tree it refers to (desktop entry, icon).
metainfo=("$share"/metainfo/*.metainfo.xml)
if [ ! -f "${metainfo[0]}" ]; then
  fail "no AppStream metadata in share/metainfo"
elif command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "${metainfo[@]}" || fail "appstreamcli validate"
  appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
else
  skip "appstreamcli (appstream)"
fi

# The guide where Help looks for it, reachable from share/doc, every local
# link and picture resolving, nothing fetched from outside, no scripts.
guide="$share/zeldl/guide"
[ -f "$guide/index.html" ] || fail "no guide at share/zeldl/guide/index.html"
[ -f "$share/doc/zeldl/guide/index.html" ] || fail "share/doc/zeldl/guide does not lead to the guide"
for page in "$guide"/*.html; do
  name="$(basename "$page")"
  grep -qi '<script' "$page" && fail "$name has a script"
  for target in $(grep -o -E '(href|src)="[^"#]*' "$page" | sed 's/^[a-z]*="//' | sort -u); do
    case "$target" in
    http:* | https:* | //*) fail "$name loads $target from outside" ;;
    *) [ -e "$guide/$target" ] || fail "$name links to $target, which is not installed" ;;
    esac
  done
done

[ -f "$share/doc/zeldl/copyright" ] || fail "no share/doc/zeldl/copyright"

if [ "$failures" -gt 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "install layout: all checks passed"
