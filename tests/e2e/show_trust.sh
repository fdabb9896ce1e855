#!/usr/bin/env bash
# A show is data unless its user says otherwise. A show that brings its own plug-in library
# (evil.so, which writes a marker file the moment it is loaded) must not load it in quorvel,
# quorvel-capture or quorvel-check unless trusted: by --trust-show or by the setup dialog's choice
# remembered for the folder, which a person ticks in the dialog on a virtual X display. Also:
# quorvel without any display ends at once and says so, and a script file of 20 MB is refused.
# Usage: show_trust.sh PATH/TO/quorvel PATH/TO/quorvel-capture PATH/TO/quorvel-check PATH/TO/evil.so
set -uo pipefail
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

quorvel=$(realpath "$1")
capture=$(realpath "$2")
check=$(realpath "$3")
evil=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
work=$(realpath "$work")
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

export XDG_CONFIG_HOME="$work/config"
export QUORVEL_EVIL_MARKER="$work/marker"
play() { (cd "$work/$1" && shift && SDL_VIDEODRIVER=offscreen DISPLAY= timeout 60 "$quorvel" "$@") > "$work/out" 2>&1; }
capture() { (cd "$work/$1" && shift && timeout 60 "$capture" --to 0.1 --out "$work/frames" "$@") > "$work/out" 2>&1; }
check() { (cd "$work/$1" && shift && timeout 60 "$check" "$@") > "$work/out" 2>&1; }

# run WHO SHOW LOADS [ARGS...]: runs quorvel, quorvel-capture or quorvel-check on SHOW and checks
# that evil.so was loaded (LOADS=yes) or not, and that an untrusting player said why.
run() {
  local who=$1 show=$2 loads=$3 status
  shift 3
  rm -f "$QUORVEL_EVIL_MARKER"
  "$who" "$show" "$@"
  status=$?
  if [ "$loads" = yes ]; then
    [ -f "$QUORVEL_EVIL_MARKER" ] || fail "$who $show $*: the show's plug-in was not loaded: $(cat "$work/out")"
    return
  fi
  [ -f "$QUORVEL_EVIL_MARKER" ] && fail "$who $show $*: the show's plug-in was loaded"
  if [ "$who" = check ]; then
    grep -qF "the checker does not load it" "$work/out" || fail "check $show: no warning: $(cat "$work/out")"
    return
  fi
  [ "$status" != 0 ] && [ "$status" != 124 ] || fail "$who $show $*: exit status $status"
  grep -qF "comes with the show. Plug-ins are programs and run with your rights." "$work/out" &&
    grep -qF -- "--trust-show" "$work/out" || fail "$who $show $*: no clear message: $(cat "$work/out")"
}

echo "== a library named with a path, and one the library search finds in the show folder"
mkdir -p "$work/path/data" "$work/search/data"
cp "$evil" "$work/path/data/evil.so"
printf '@data.\n@loadlibrary data/evil.so\n@code.\n@eof\n' > "$work/path/data/vantro.jpg"
cp "$evil" "$work/search/evil.so"
printf '@data.\n@loadlibrary evil.dll\n@code.\n@eof\n' > "$work/search/data/vantro.jpg"
for who in play capture check; do
  run $who path no
  run $who path yes --trust-show
  LD_LIBRARY_PATH=. run $who search no
done

echo "== the choice remembered for the show folder"
mkdir -p "$XDG_CONFIG_HOME/quorvel"
printf '[display]\nadapter=x\ndevice=HAL\nwindowed=1\nmode=640x480\nformat=22\nmultisample=0\n\n[show %s]\nplugins=allowed\n' \
  "$work/path" > "$XDG_CONFIG_HOME/quorvel/settings.ini"
run play path yes --no-dialog
run play path yes
cp -r "$work/path" "$work/other"
run play other no --no-dialog

# tick SHOW: opens the setup dialog on SHOW, toggles the plug-ins box from the keyboard (it is
# the last control before the buttons) and presses Return; prints whether evil.so then loaded.
tick() {
  local pid window loaded=no
  rm -f "$QUORVEL_EVIL_MARKER"
  (cd "$work/$1" && exec "$quorvel" > "$work/out" 2>&1) &
  pid=$!
  if window=$(wait_window "Demoengine Setup" 30); then
    press "$window" shift+Tab
    xdotool key --clearmodifiers shift+Tab space Return
    for _ in $(seq 50); do [ -f "$QUORVEL_EVIL_MARKER" ] && break; sleep 0.1; done
  else
    fail "$1: no setup dialog"
  fi
  [ -f "$QUORVEL_EVIL_MARKER" ] && loaded=yes
  # It waits in the message box about the library (evil.so offers no effect) or its refusal.
  kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  echo $loaded
}

if [ -n "${DISPLAY:-}" ]; then
  echo "== ticked in the setup dialog, remembered, and unticked"
  rm -rf "$XDG_CONFIG_HOME"
  [ "$(tick path)" = yes ] || fail "ticking the box did not let the show's plug-in load"
  grep -qxF "[show $work/path]" "$XDG_CONFIG_HOME/quorvel/settings.ini" || fail "the choice was not remembered"
  run play path yes --no-dialog
  [ "$(tick path)" = no ] || fail "unticking the box still let the show's plug-in load"
  grep -qF "[show " "$XDG_CONFIG_HOME/quorvel/settings.ini" && fail "the unticked choice was still remembered"
fi

echo "== no display"
start=$(date +%s%N)
(cd "$work/path" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$quorvel") > "$work/out" 2>&1
status=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$status" != 0 ] && [ "$status" != 124 ] || fail "no display: exit status $status"
[ "$elapsed" -lt 1000 ] || fail "no display: took $elapsed ms"
grep -qF "quorvel: no display to play on; quorvel-capture plays a show without one" "$work/out" ||
  fail "no display: $(cat "$work/out")"

echo "== a 20 MB script"
mkdir -p "$work/large/data"
{ printf '@data.\n@code.\n@eof\n'; head -c $((20 << 20)) /dev/zero | tr '\0' '#'; } > "$work/large/data/vantro.jpg"
play large --no-dialog
[ $? != 0 ] || fail "20 MB script: exit status 0"
grep -qF "data/vantro.jpg is too large for a script" "$work/out" || fail "20 MB script: $(cat "$work/out")"

if [ $failures -eq 0 ]; then echo "show trust: all passed"; exit 0; fi
echo "show trust: $failures failed"; exit 1
