#!/usr/bin/env bash
# Drives the real quorvel program as a person would, on a virtual X display: the setup dialog,
# the show window, the keys, and the end of the show. Usage: quorvel_e2e.sh PATH/TO/quorvel
# (runs itself under xvfb-run when no display is set).
set -uo pipefail

quorvel=$(realpath "$1")
if [ -z "${DISPLAY:-}" ]; then
  # The server's own messages are kept for describe_display, in the folder the test runs in (the
  # build folder): xvfb-run still writes to the file after this script has ended.
  XVFB_LOG=$PWD/quorvel_e2e-xvfb.log
  : > "$XVFB_LOG"
  export XVFB_LOG
  exec xvfb-run -a -e "$XVFB_LOG" -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"

make_show() {  # make_show DIR END-TIME
  mkdir -p "$1/data"
  printf '@data.\n@bgcolor 4278190335\n@endtime %s\n@code.\n@eof\n' "$2" > "$1/data/vantro.jpg"
}

echo "== the show ends by itself after its end time"
make_show "$work/short" 3
if open_dialog "$work/short" "$work/short.log"; then
  press "$dialog" Return
  if window=$(wait_window "Redeve DemoQuorvel" 30); then
    start=$SECONDS
    wait_exit $pid 60
    [ "$status" = 0 ] || fail "exit status $status after the end time (log: $(cat "$work/short.log"))"
    [ $((SECONDS - start)) -ge 2 ] || fail "the show ended too early"
  else
    fail "no window titled Redeve DemoQuorvel"; kill $pid
  fi
else
  fail "no setup dialog"
fi

echo "== Escape ends the show early"
make_show "$work/long" 100
if open_dialog "$work/long" "$work/long.log"; then
  press "$dialog" Return
  if window=$(wait_window "Redeve DemoQuorvel" 30); then
    sleep 1.5
    press "$window" Escape
    wait_exit $pid 20
    [ "$status" = 0 ] || fail "Escape: exit status $status"
  else
    fail "no show window"; kill $pid
  fi
else
  fail "no setup dialog"
fi

echo "== Cancel in the setup dialog ends without a window"
if open_dialog "$work/long" "$work/cancel.log"; then
  press "$dialog" Escape
  wait_exit $pid 20
  [ "$status" = 0 ] || fail "Cancel: exit status $status"
  xdotool search --name "^Redeve DemoQuorvel\$" >/dev/null 2>&1 && fail "a show window appeared after Cancel"
else
  fail "no setup dialog"
fi

# close_error_box DIR LOG KEY: starts quorvel in DIR, presses Return in the setup dialog, waits for
# the error box and presses KEY in it; sets status to the program's exit status ("timeout" when
# the box stayed open), or to "nobox".
close_error_box() {
  local window box known
  status=nobox
  open_dialog "$1" "$2" || return
  known=$(xdotool search --all --onlyvisible --classname "" 2>/dev/null | tr '\n' ' ')
  press "$dialog" Return
  window=$(wait_window "Redeve DemoQuorvel" 30) && known="$known $window"
  if ! box=$(wait_new_window "$known" 30); then kill $pid; return; fi
  press "$box" "$3"
  wait_exit $pid 20
}

echo "== a missing script is reported; Return closes the box"
mkdir -p "$work/empty"
close_error_box "$work/empty" "$work/missing.log" Return
[ "$status" = 1 ] || fail "missing script: exit status $status (nobox: no box; timeout: Return did not close it)"
grep -q "Couldn't load data/vantro.jpg" "$work/missing.log" || fail "no report of the missing script"

echo "== an effect class no plug-in offers is reported; Escape closes the box"
mkdir -p "$work/noclass/data"
printf '@data.\n@code.\n0 0 create scenes { }\n1 0 delete\n@eof\n' > "$work/noclass/data/vantro.jpg"
close_error_box "$work/noclass" "$work/noclass.log" Escape
[ "$status" = 1 ] || fail "unknown class: exit status $status (nobox: no box; timeout: Escape did not close it)"
grep -q 'data/vantro.jpg:3: Couldn.t create effect "scenes" (line 3)' "$work/noclass.log" ||
  fail "no report of the unknown class (log: $(cat "$work/noclass.log"))"

if [ $failures -eq 0 ]; then echo "quorvel end-to-end: all passed"; exit 0; fi
echo "quorvel end-to-end: $failures failed"; exit 1
