# Helpers for the end-to-end scripts that drive quorvel on a virtual X display with xdotool.
# Sourced; the caller counts failures through fail().
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Says on stderr whether the X server still answers, and what the virtual server logged (when
# the script was started with XVFB_LOG), so that a window that never came can be told apart from
# a display that went away.
describe_display() {
  if xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "note: the X server on $DISPLAY answers" >&2
  else
    echo "note: the X server on $DISPLAY does not answer" >&2
  fi
  if [ -n "${XVFB_LOG:-}" ] && [ -s "$XVFB_LOG" ]; then
    echo "note: the virtual X server logged:" >&2
    tail -n 20 "$XVFB_LOG" >&2
  fi
}

# Waits up to $2 seconds for a visible window whose title is exactly $1; prints its id.
wait_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  describe_display
  return 1
}

# Waits up to $2 seconds for process $1 (a child of this shell) to end; sets status to its exit
# status, or to "timeout".
wait_exit() {
  local deadline=$((SECONDS + $2))
  while kill -0 "$1" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then kill -9 "$1" 2>/dev/null; wait "$1" 2>/dev/null; status=timeout; return; fi
    sleep 0.2
  done
  wait "$1"; status=$?
}

# Waits up to $2 seconds for a visible window that is not in the list $1 (message boxes carry no
# name that xdotool can search by); prints its id.
wait_new_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    for id in $(xdotool search --all --onlyvisible --classname "" 2>/dev/null); do
      case " $1 " in *" $id "*) ;; *) echo "$id"; return 0 ;; esac
    done
    sleep 0.2
  done
  return 1
}

# open_dialog DIR LOG [ARG...]: starts "$quorvel" with the arguments in folder DIR, its output in
# LOG, and waits up to 30 seconds for the setup dialog; sets pid and dialog. When no dialog
# comes it ends the program and returns 1.
open_dialog() {
  local dir=$1 log=$2
  shift 2
  (cd "$dir" && exec "$quorvel" "$@" > "$log" 2>&1) &
  pid=$!
  dialog=$(wait_window "Demoengine Setup" 30) && return 0
  kill $pid
  return 1
}

press() {  # press KEY in window ID
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.3
  xdotool key --clearmodifiers "$2"
}
