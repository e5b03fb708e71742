# Sourced by the tests that drive windows of the built program on a virtual display. The
# sourcing script sets work (its scratch folder), program (the program folder it runs),
# system (that program's system folder) and sample (a .flv file); pids collects the
# processes to end when it exits (cleanup_processes, last first).
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

pids=()
cleanup_processes() {
  local index
  for ((index = ${#pids[@]} - 1; index >= 0; index--)); do kill "${pids[index]}" 2>/dev/null || true; done
}

# start_display: a virtual display for the rest of the test.
start_display() {
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "no virtual display: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(cat "$work/display")"
}

# window_of PID NAME: the id of PID's visible window called NAME, waiting up to SECONDS
# (default 30) for it to show; nothing when it does not.
window_of() {
  timeout "${3:-30}" xdotool search --sync --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null |
    head -1 || true
}

# press WINDOW KEY: KEY in WINDOW, focused first. Without the focus xdotool may type into
# whichever window has it, another program's window included.
press() { xdotool windowfocus --sync "$1" key "$2" 2>/dev/null || true; }

# start NAME: a window of the program with the sample on its command line; sets NAME to
# its process id and NAME_window to its window.
start() {
  (cd "$work" && exec env -u QT_QPA_PLATFORM HOME="$work/home" XDG_DATA_HOME="$work/data" \
    XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" "$program/vidmora" "$sample") \
    >"$work/$1.log" 2>&1 &
  local pid=$! window
  pids+=("$pid")
  window="$(window_of "$pid" 'Free Vidmora')"
  [ -n "$window" ] || fail "$1: no window: $(cat "$work/$1.log")"
  printf -v "$1" '%s' "$pid"
  printf -v "$1_window" '%s' "$window"
}

# answer PID BOX: Return on PID's message box until it is gone.
answer() {
  for _ in $(seq 50); do
    xdotool search --all --onlyvisible --pid "$1" --name . 2>/dev/null | grep -qx "$2" || return 0
    press "$2" Return
    sleep 0.1
  done
  fail "a message box does not close"
}

# convert PID WINDOW: Start (Alt+T) until the batch's end message says every file was
# converted ("Confirm"); a "Warning" is answered and Start pressed again, as the row may
# still be being probed. False when no conversion ends well.
convert() {
  local box caption
  for _ in $(seq 10); do
    press "$2" alt+t
    for _ in $(seq 50); do
      for caption in Confirm Warning; do
        box="$(window_of "$1" "$caption" 0.2)"
        [ -z "$box" ] || break 2
      done
    done
    [ -n "$box" ] || return 1
    answer "$1" "$box"
    [ "$caption" = Warning ] || return 0
    sleep 0.5
  done
  return 1
}

# close NAME: Esc, again while the program runs (a window just shown may not take a key).
close() {
  local pid="${!1}" window="$1_window" status=0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    press "${!window}" Escape
    timeout 1 tail --pid="$pid" -f /dev/null || true
  done
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "$1: exit status $status: $(cat "$work/$1.log")"
}

# The encoders as the program runs them: a probe of the sample gives its duration.
probes() {
  local encoder
  for encoder in zandrio.dll quimbel.dll; do
    "$system/$encoder" -i "$sample" 2>&1 | grep -q 'Duration: [0-9]' || return 1
  done
}

# put_back: every encoder in the system folder is the program folder's scrambled file again.
put_back() {
  local encoder
  for encoder in zandrio.dll quimbel.dll; do
    cmp -s "$system/$encoder" "$program/$encoder" || return 1
    [ ! -x "$system/$encoder" ] || return 1
  done
}
