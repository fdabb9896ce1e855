#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs: quorvel --version,
# and quorvel-capture on the installed bundled show, which needs the plug-in from lib/quorvel/.
# Usage: install_e2e.sh BUILD_FOLDER
set -uo pipefail

build=$(realpath "$1")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" > "$prefix/install.log" 2>&1 || fail "cmake --install: $(tail -3 "$prefix/install.log")"
for f in bin/quorvel bin/quorvel-capture lib/quorvel/meshdrome.so share/quorvel/demo/data/vantro.jpg \
         share/applications/quorvel.desktop share/man/man1/quorvel.1; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
[ -e "$prefix/bin/meshdrome.so" ] && fail "the plug-in was installed next to the programs"
grep -q "^Path=$prefix/share/quorvel/demo\$" "$prefix/share/applications/quorvel.desktop" ||
  fail "the desktop entry does not start in the installed show: $(grep Path "$prefix/share/applications/quorvel.desktop")"

version=$("$prefix/bin/quorvel" --version) || fail "installed --version failed"
[[ "$version" == "quorvel "* ]] || fail "installed --version printed '$version'"

# From a folder that holds no plug-in: the installed show loads meshdrome from ../lib/quorvel/.
cd "$prefix"
if "$prefix/bin/quorvel-capture" --fps 5 --to 0.4 --size 160x120 --out "$prefix/frames" \
     "$prefix/share/quorvel/demo" > "$prefix/capture.log" 2>&1; then
  [ -e "$prefix/frames/frame-000002.png" ] || fail "no frames captured"
else
  fail "the installed capture failed: $(tail -3 "$prefix/capture.log")"
fi

[ $failures = 0 ] && echo "player_install: all passed" || echo "player_install: $failures failures"
[ $failures = 0 ]
