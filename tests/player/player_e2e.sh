#!/usr/bin/env bash
# The quorvel program started with the command line, as a person would, on a virtual X display:
# a show opened directly in a window, reloaded when its script is saved, a bad argument, the
# remembered settings, and 3D Studio files viewed without a script.
# Usage: player_e2e.sh QUORVEL XSHOT MAKE_VIEWER_SCENES PNG_COVERAGE DEMO_FOLDER SHOTS_FOLDER
set -uo pipefail

quorvel=$(realpath "$1"); xshot=$(realpath "$2"); makescenes=$(realpath "$3"); coverage=$(realpath "$4")
demo=$(realpath "$5"); shots=$6
if [ -z "${DISPLAY:-}" ]; then
  # The server's own messages are kept for describe_display, in the folder the test runs in (the
  # build folder): xvfb-run still writes to the file after this script has ended.
  XVFB_LOG=$PWD/player_e2e-xvfb.log
  : > "$XVFB_LOG"
  export XVFB_LOG
  exec xvfb-run -a -e "$XVFB_LOG" -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

mkdir -p "$shots"; shots=$(realpath "$shots")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/x_session.sh"

# Saves the window's area of the screen as $2; with $3, only what lies below the window's top
# $3 rows (the frame statistics, whose frame rate changes even while paused).
shoot() {
  eval "$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/G_\1=/p')"
  local skip=${3:-0}
  "$xshot" "$2" "$G_X" "$((G_Y + skip))" "$G_WIDTH" "$((G_HEIGHT - skip))"
}

mkdir -p "$work/blue/data"
printf '@data.\n@bgcolor 4278190335\n@nostats\n@endtime 3\n@code.\n@eof\n' > "$work/blue/data/vantro.jpg"

echo "== --no-dialog --windowed SHOW opens the show's window directly"
(cd / && exec "$quorvel" --no-dialog --windowed --size 320x240 "$work/blue" > "$work/direct.log" 2>&1) &
pid=$!
if window=$(wait_window "Redeve DemoQuorvel" 30); then
  xdotool search --name "^Demoengine Setup\$" >/dev/null 2>&1 && fail "the setup dialog was shown"
  sleep 1
  shoot "$window" "$shots/direct.png"
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)=')"
  [ "$WIDTH" = 320 ] && [ "$HEIGHT" = 240 ] || fail "--size 320x240 gave a ${WIDTH}x${HEIGHT} window"
  [ "$("$coverage" "$shots/direct.png" 0 0 255)" -le 2 ] || fail "the window does not show the show's blue"
  wait_exit $pid 30
  [ "$status" = 0 ] || fail "exit status $status after the end (log: $(cat "$work/direct.log"))"
else
  fail "no show window (log: $(cat "$work/direct.log"))"; kill $pid
fi

echo "== a saved script reloads at once; a broken save keeps the show playing and says why"
cp -r "$demo" "$work/edit"
script="$work/edit/data/vantro.jpg"
# Saves the script with sed's expression $1 applied, as editors do: a new file renamed over it.
save_script() { sed "$1" "$script" > "$work/edit/data/.vantro.jpg.new" && mv "$work/edit/data/.vantro.jpg.new" "$script"; }
save_script 's/^@bgcolor .*/@bgcolor 4278190335/'  # opaque blue
(cd / && exec "$quorvel" --no-dialog --windowed --mute --size 320x240 --start 6 "$work/edit" > "$work/edit.log" 2>&1) &
pid=$!
if window=$(wait_window "Redeve DemoQuorvel" 30); then
  sleep 1  # past the show's fade in
  shoot "$window" "$shots/edit-blue.png"
  save_script 's/^@bgcolor .*/@bgcolor 4294901760/'  # opaque red
  sleep 1
  shoot "$window" "$shots/edit-red.png"
  notblue=$("$coverage" "$shots/edit-blue.png" 0 0 255); notred=$("$coverage" "$shots/edit-red.png" 255 0 0)
  [ "$notblue" -lt 90 ] && [ "$notred" -lt 90 ] || fail "the background does not show the new colour ($notblue% not blue before, $notred% not red after)"
  save_script 's/^@loadscene orrery.3ds/@loadscene gone.3ds/'
  sleep 1
  shoot "$window" "$shots/edit-broken.png"
  kill -0 $pid 2>/dev/null || fail "a broken save ended the show"
  grep -q "Couldn't load gone.3ds" "$work/edit.log" || fail "the broken save is not reported on stderr"
  boxed=$("$coverage" "$shots/edit-broken.png" 255 0 0)
  [ "$boxed" -gt "$notred" ] && [ "$boxed" -lt 90 ] || fail "no error box over the red show ($notred% not red before, $boxed% after)"
  save_script 's/^@loadscene gone.3ds/@loadscene orrery.3ds/'
  sleep 1
  [ "$(grep -c '^quorvel: reloaded' "$work/edit.log")" = 2 ] || fail "expected two reloads: $(cat "$work/edit.log")"
  press "$window" Escape
  wait_exit $pid 20
  [ "$status" = 0 ] || fail "reloading run: exit status $status"
else
  fail "reloading run: no window (log: $(cat "$work/edit.log"))"; kill $pid
fi

echo "== a bad argument: one line naming it, exit status 2, no window"
"$quorvel" --size 10x10 "$work/blue" > "$work/bad.out" 2> "$work/bad.err"
status=$?
[ "$status" = 2 ] || fail "bad --size: exit status $status"
head -n1 "$work/bad.err" | grep -q "'10x10'" || fail "the error does not name the argument: $(head -n1 "$work/bad.err")"
grep -q "^usage: quorvel" "$work/bad.err" || fail "no usage on stderr"
[ -s "$work/bad.out" ] && fail "something was written to stdout"
"$quorvel" "$work/nowhere" 2> "$work/missing.err"
[ $? = 2 ] && head -n1 "$work/missing.err" | grep -q "nowhere" || fail "a missing SHOW: $(cat "$work/missing.err")"
"$quorvel" --version | grep -q "^quorvel " || fail "--version"

echo "== the dialog's choice is remembered; a damaged settings file is ignored with one warning"
if open_dialog "$work/blue" "$work/dialog.log"; then
  press "$dialog" Return
  wait_exit $pid 40
  [ "$status" = 0 ] || fail "dialog run: exit status $status (log: $(cat "$work/dialog.log"))"
  grep -q '^\[display\]' "$XDG_CONFIG_HOME/quorvel/settings.ini" 2>/dev/null || fail "OK did not save the settings"
  grep -q '^windowed=1' "$XDG_CONFIG_HOME/quorvel/settings.ini" 2>/dev/null || fail "the windowed choice is not saved"
else
  fail "no setup dialog"
fi
printf '\x00\x01garbage\n' > "$XDG_CONFIG_HOME/quorvel/settings.ini"
(cd "$work/blue" && exec "$quorvel" --no-dialog > "$work/damaged.log" 2>&1) &
pid=$!
if wait_window "Redeve DemoQuorvel" 30 > /dev/null; then
  wait_exit $pid 30
  [ "$status" = 0 ] || fail "damaged settings: exit status $status"
  [ "$(grep -c 'warning' "$work/damaged.log")" = 1 ] || fail "expected one warning line: $(cat "$work/damaged.log")"
else
  fail "damaged settings: no window (log: $(cat "$work/damaged.log"))"; kill $pid
fi

echo "== quorvel FILE.3ds shows a scene without a camera"
mkdir -p "$work/scenes"
"$makescenes" "$work/scenes" || fail "cannot write the test scenes"
cp "$demo/data/planet.jpg" "$work/scenes/planet.jpg"  # the file names it PLANET.JPG
if open_dialog / "$work/viewer.log" "$work/scenes/several.3ds"; then
  # The damaged file was not replaced by the run without the dialog.
  press "$dialog" Return
  if window=$(wait_window "several.3ds - quorvel" 30); then
    sleep 2
    shoot "$window" "$shots/several.png"
    # The scene covers a good part of the mid-grey background.
    covered=$("$coverage" "$shots/several.png" 128 128 128)
    [ "$covered" -ge 15 ] || fail "the scene covers only $covered% of the window"
    sleep 4  # past the first 10-second pass of a still scene: it goes on
    kill -0 $pid 2>/dev/null || fail "the viewer ended by itself"
    press "$window" Escape
    wait_exit $pid 20
    [ "$status" = 0 ] || fail "viewer: exit status $status"
  else
    fail "no window titled after the file (log: $(cat "$work/viewer.log"))"; kill $pid
  fi
else
  fail "viewer: no setup dialog"
fi
grep -qi "couldn't load" "$work/viewer.log" && fail "viewer: $(cat "$work/viewer.log")"

echo "== C looks through the file's next camera"
(cd / && exec "$quorvel" --no-dialog --windowed "$work/scenes/cameras.3ds" > "$work/cameras.log" 2>&1) &
pid=$!
if window=$(wait_window "cameras.3ds - quorvel" 30); then
  sleep 1.5
  shoot "$window" "$shots/camera-near.png"
  press "$window" c
  sleep 1
  shoot "$window" "$shots/camera-far.png"
  near=$("$coverage" "$shots/camera-near.png" 128 128 128)
  far=$("$coverage" "$shots/camera-far.png" 128 128 128)
  [ "$near" -gt "$far" ] || fail "the near camera's box ($near%) is not larger than the far one's ($far%)"
  [ "$far" -ge 1 ] || fail "the far camera shows nothing"
  grep -q "camera Far" "$work/cameras.log" || fail "no note of the camera change"
  press "$window" Escape
  wait_exit $pid 20
else
  fail "camera scene: no window (log: $(cat "$work/cameras.log"))"; kill $pid
fi

echo "== Space pauses the bundled show: the picture stands still until Space again"
(cd / && exec "$quorvel" --no-dialog --windowed --size 400x300 --start 20 "$demo" > "$work/pause.log" 2>&1) &
pid=$!
if window=$(wait_window "Redeve DemoQuorvel" 30); then
  sleep 2
  press "$window" space
  sleep 0.5
  shoot "$window" "$shots/paused-1.png" 32
  sleep 1
  shoot "$window" "$shots/paused-2.png" 32
  cmp -s "$shots/paused-1.png" "$shots/paused-2.png" || fail "the picture moved while paused"
  press "$window" space
  sleep 1
  shoot "$window" "$shots/resumed.png" 32
  cmp -s "$shots/paused-2.png" "$shots/resumed.png" && fail "the picture stands still after Space again"
  press "$window" t
  press "$window" F1
  sleep 0.5
  shoot "$window" "$shots/overlays.png"
  press "$window" Escape
  wait_exit $pid 20
  [ "$status" = 0 ] || fail "pause run: exit status $status (log: $(cat "$work/pause.log"))"
else
  fail "pause run: no window (log: $(cat "$work/pause.log"))"; kill $pid
fi

[ $failures = 0 ] && echo "player_e2e: all passed" || echo "player_e2e: $failures failures"
[ $failures = 0 ]
