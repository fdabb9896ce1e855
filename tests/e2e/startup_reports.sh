#!/usr/bin/env bash
# Shows that cannot start: each one must get its message, the script line and word on stderr,
# and a non-zero exit status, from quorvel (offscreen, no dialog) and from quorvel-capture.
# Usage: startup_reports.sh PATH/TO/quorvel PATH/TO/quorvel-capture PATH/TO/demo
set -uo pipefail

quorvel=$(realpath "$1")
capture=$(realpath "$2")
demo=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# show NAME SCRIPT-TEXT: a show folder with the bundled scenes and images.
show() {
  mkdir -p "$work/$1/data"
  cp "$demo"/data/*.3ds "$demo"/data/*.jpg "$demo"/data/*.png "$work/$1/data/"
  printf '%b' "$2" > "$work/$1/data/vantro.jpg"
}

# expect NAME PATTERN...: both programs fail on show NAME, and every pattern (grep -F) is in
# their stderr.
expect() {
  local name=$1 status
  shift
  (cd "$work/$name" && SDL_VIDEODRIVER=offscreen DISPLAY= timeout 60 "$quorvel" > "$work/$name.player" 2>&1)
  status=$?
  [ "$status" != 0 ] && [ "$status" != 124 ] || fail "$name: quorvel exit status $status"
  (cd "$work/$name" && timeout 60 "$capture" --out "$work/$name.frames" > "$work/$name.capture" 2>&1)
  status=$?
  [ "$status" != 0 ] && [ "$status" != 124 ] || fail "$name: quorvel-capture exit status $status"
  grep -qF "quorvel-capture: the show could not start: " "$work/$name.capture" ||
    fail "$name: quorvel-capture does not say what failed: $(tail -n1 "$work/$name.capture")"
  for pattern in "$@"; do
    grep -qF -- "$pattern" "$work/$name.player" || fail "$name: quorvel did not print: $pattern
$(cat "$work/$name.player")"
    grep -qF -- "$pattern" "$work/$name.capture" || fail "$name: quorvel-capture did not print: $pattern"
  done
}

echo "== an effect class no plug-in offers"
show noclass '@data.\n@loadlibrary meshdrome.dll\n@loadscene orrery.3ds\n@code.\n\n0 0 create scenes { file orrery.3ds }\n1 0 delete\n@eof\n'
expect noclass 'Error: Couldn'"'"'t create effect "scenes" (line 6): no loaded plug-in offers this effect class.' \
  "data/vantro.jpg:6: Couldn't create effect \"scenes\" (line 6): no loaded plug-in offers this effect class. (at 'scenes')"

echo "== no @loadlibrary"
show nolibrary '@data.\n@loadscene orrery.3ds\n@code.\n0 0 create scene { file orrery.3ds }\n1 0 delete\n@eof\n'
expect nolibrary "data/vantro.jpg:4: Couldn't create effect \"scene\" (line 4): no loaded plug-in offers this effect class. The script loads no plug-in (@loadlibrary). (at 'scene')"

echo "== creat"
show creat '@data.\n@loadlibrary meshdrome.dll\n@loadscene orrery.3ds\n@code.\n0 0 creat scene { file orrery.3ds }\n1 0 delete\n@eof\n'
expect creat "data/vantro.jpg:5: warning: 'creat' is no statement word (create, anim, delete or {)" \
  "data/vantro.jpg:6: Couldn't create effect \"\" (line 6): no loaded plug-in offers this effect class. (at 'delete')"

echo "== delet at the end of the timeline"
show delet '@data.\n@loadlibrary meshdrome.dll\n@loadscene orrery.3ds\n@code.\n0 0 create scene { file orrery.3ds }\n1 0 delet\n@eof\n'
expect delet "data/vantro.jpg:6: warning: 'delet' is no statement word" \
  "data/vantro.jpg:7: No <@eof> found: the script ends before the timeline does"

echo "== a block without its }"
show openblock '@data.\n@loadlibrary meshdrome.dll\n@loadscene orrery.3ds\n@code.\n0 0 create scene { file orrery.3ds\n1 0 delete\n0 1 create scene { file orrery.3ds }\n1 1 delete\n@eof\n'
expect openblock "data/vantro.jpg:6: warning: 'delete' inside the parameter block opened in line 5: that block is probably missing its '}'" \
  "data/vantro.jpg:8: Couldn't create effect \"\" (line 8)"

echo "== the line of a timeline report, with comments, blank lines, CR LF and a long statement"
show layer60 '# a show\r\n\r\n@data.   # header\r\n@loadlibrary meshdrome.dll\r\n@code.\r\n\r\n0\r\n  0 create scene\r\n  { file x }\r\n1 0 delete\r\n2\r\n60 create scene { }\r\n@eof\r\n'
expect layer60 "SCRIPT PARSE ERROR: Line 2, Index 14 Sorry! You exceeded the maximum nuber of layers" \
  "data/vantro.jpg:12: Sorry! You exceeded the maximum nuber of layers (at '60')"

echo "== a missing library and a missing scene"
show nolib '@data.\n\n@loadlibrary nosuchfx.dll\n@code.\n@eof\n'
expect nolib "data/vantro.jpg:3: Couldn't load nosuchfx.dll (at 'nosuchfx.dll')"
show noscene '@data.\n@loadlibrary meshdrome.dll\n@loadscene ship.3ds\n@code.\n@eof\n'
expect noscene "data/vantro.jpg:3: Couldn't load ship.3ds (at 'ship.3ds')"

echo "== a missing texture map names the scene and material"
show nomap '@data.\n@loadlibrary meshdrome.dll\n@loadscene orrery.3ds\n@code.\n0 0 create scene { file orrery.3ds }\n1 0 delete\n@eof\n'
rm "$work"/nomap/data/{moon,logo,planet,panel}.jpg
expect nomap "the map of material" "in scene orrery.3ds (at 'orrery.3ds')"

echo "== the bundled show starts without warnings"
(cd "$demo" && timeout 120 "$capture" --to 0.1 --size 160x120 --out "$work/bundled" > "$work/bundled.log" 2>&1)
status=$?
[ "$status" = 0 ] || fail "bundled show: quorvel-capture exit status $status"
grep -q "warning" "$work/bundled.log" && fail "bundled show warns: $(grep warning "$work/bundled.log")"

if [ $failures -eq 0 ]; then echo "start-up reports: all passed"; exit 0; fi
echo "start-up reports: $failures failed"; exit 1
