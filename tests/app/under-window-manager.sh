#!/usr/bin/env bash
# Runs a GUI test program on a virtual display of its own (Xvfb) whose windows openbox
# manages, so that they get the decorations a desktop gives them. Usage: PROGRAM [ARGS...]
set -euo pipefail
work="$(mktemp -d /tmp/vidmora-wm-XXXXXX)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
# Xvfb picks a free display itself and names it, so parallel tests never share one.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "no virtual display: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
# openbox runs its start-up command once it manages the screen.
openbox --startup "touch $work/managed" >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/managed" ] && break; sleep 0.1; done
[ -e "$work/managed" ] || { echo "openbox did not start: $(cat "$work/openbox.log")" >&2; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
