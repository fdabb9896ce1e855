#!/usr/bin/env bash
# Drives the shell demo on a virtual X server as a person would: the setup dialog appears,
# Return accepts it, the window opens and shows a moving picture, minimising makes the loop wait
# and restoring resumes it, Alt+Enter switches to fullscreen and back, Escape ends the program
# with exit code 0; Cancel ends it before any window opens. Screenshots of each step are left in the shots folder.
#
#   shell_e2e.sh SHELLDEMO XSHOT SHOTS_DIR
set -euo pipefail

demo=$1
xshot=$2
shots=$3

if [ -z "${QUORVEL_E2E_INNER:-}" ]; then
  export QUORVEL_E2E_INNER=1
  exec xvfb-run -a --server-args="-screen 0 1024x768x24" "$0" "$@"
fi

mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.log
export NO_AT_BRIDGE=1
export SDL_VIDEODRIVER=x11
unset SDL_AUDIODRIVER

wm_pid=""
fail() {
  echo "FAIL: $*" >&2
  for f in "$shots"/*.log; do echo "--- $f"; cat "$f"; done >&2
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  exit 1
}

# wait_for SECONDS COMMAND...: retries the command every 0.1 s until it succeeds.
wait_for() {
  local limit=$(( $1 * 10 )); shift
  for ((i = 0; i < limit; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}
window_named() { xdotool search --onlyvisible --name "^$1\$" | head -1; }
has_window() { [ -n "$(window_named "$1")" ]; }
log_has() { grep -q "$2" "$1"; }
# Geometry of a window as "X Y W H".
geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}
send_keys() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.2
  shift
  xdotool key --clearmodifiers "$@"
}
# start_at_dialog LOG [WHEN]: starts the demo with its output in LOG and waits for its setup
# dialog; sets log, pid and dialog.
start_at_dialog() {
  log=$1
  "$demo" >"$log" 2>&1 &
  pid=$!
  wait_for 20 has_window "Demoengine Setup" || fail "the setup dialog did not appear${2:-}"
  dialog=$(window_named "Demoengine Setup")
  sleep 0.5
}
# expect_clean_exit WHAT: the demo ends within 10 s after WHAT, with exit code 0.
expect_clean_exit() {
  for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "$1 did not end the program"; }
  status=0; wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "exit code $status after $1"
}

# Fullscreen is a request to the window manager: without one, X leaves the window at its size.
# Use openbox when it is installed.
if command -v openbox >/dev/null 2>&1; then
  openbox --sm-disable >"$shots/wm.log" 2>&1 &
  wm_pid=$!
  sleep 1
else
  echo "note: no window manager; the fullscreen screenshot will show the window at its old size" >&2
fi

# --- Accept with Return, run, switch window mode twice, leave with Escape ---
start_at_dialog "$shots/accept.log"
"$xshot" "$shots/1-dialog.png"
send_keys "$dialog" Return

wait_for 20 has_window "Quorvel Shell Demo" || fail "no window after accepting the dialog"
has_window "Demoengine Setup" && fail "the dialog stayed open"
wait_for 20 log_has "$log" "^frame 1 " || fail "no frame was rendered"
win=$(window_named "Quorvel Shell Demo")
read -r x y w h < <(geometry "$win")
[ "$w" = 640 ] && [ "$h" = 480 ] || fail "client area is ${w}x${h}, not 640x480"
sleep 0.3
"$xshot" "$shots/2-window-a.png" "$x" "$y" "$w" "$h"
sleep 0.7
"$xshot" "$shots/3-window-b.png" "$x" "$y" "$w" "$h"
cmp -s "$shots/2-window-a.png" "$shots/3-window-b.png" && fail "the picture does not move"

# Minimised, the loop waits for messages and uses no processor time; restored, it draws again.
# Minimising is a request to the window manager too.
if [ -n "$wm_pid" ]; then
  cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
  xdotool windowminimize --sync "$win" || fail "the window could not be minimised"
  sleep 0.5
  before=$(cpu_ticks); sleep 2; used=$(( $(cpu_ticks) - before ))
  [ "$used" -le 10 ] || fail "the loop kept running while minimised ($used ticks in 2 s)"
  frames_shown=$(grep -c '^frame ' "$log")
  xdotool windowactivate "$win" 2>/dev/null || xdotool windowmap "$win"
  wait_for 30 bash -c "[ \$(grep -c '^frame ' '$log') -gt $frames_shown ]" || fail "no frames after restoring"
  wait_for 10 has_window "Quorvel Shell Demo" || fail "the window did not come back"
fi

send_keys "$win" alt+Return
wait_for 10 log_has "$log" "fullscreen" || fail "Alt+Enter did not switch to fullscreen"
sleep 1
"$xshot" "$shots/4-fullscreen.png"

send_keys "$win" alt+Return
wait_for 10 bash -c "grep 'device reset' '$log' | tail -1 | grep -q windowed" || fail "Alt+Enter did not switch back"
sleep 1
grep 'device reset' "$log" | tail -1 | grep -q "^device reset 640x480 windowed" \
  || fail "the window did not come back at its size: $(grep 'device reset' "$log" | tail -1)"
read -r x y w h < <(geometry "$win")
"$xshot" "$shots/5-windowed-again.png" "$x" "$y" "$w" "$h"

send_keys "$win" Escape
expect_clean_exit Escape
log_has "$log" "^shutdown" || fail "no clean-up after Escape"

# --- Cancel: no window, no start-up ---
start_at_dialog "$shots/cancel.log" " the second time"
# From the focused OK button one step back is Cancel.
send_keys "$dialog" shift+Tab
sleep 0.2
"$xshot" "$shots/6-cancel-focused.png"
send_keys "$dialog" Return
expect_clean_exit Cancel
log_has "$log" "^not started" || fail "Cancel did not stop the start"
log_has "$log" "^startup" && fail "the program started after Cancel"

[ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
echo "shell end-to-end: all steps passed"
