#!/usr/bin/env bash
# window_and_batch.sh PROGRAM_FOLDER SAMPLE: a window of the built program and vidmora-batch
# run at once on a virtual display and share the system folder's encoders: each converts
# while the other runs, either may end first without taking the other's encoders, and the
# last to end scrambles them back.
set -euo pipefail
bin="$(cd "$1" && pwd)"
sample="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
work="$(mktemp -d /tmp/vidmora-window-batch-XXXXXX)"
. "$(dirname "$0")/../app/window-driver.sh"
trap 'cleanup_processes; rm -rf "$work"' EXIT

program="$work/program"
system="$work/data/vidmora/system"
mkdir -p "$program" "$work/home" "$work/batch-out"
cp "$bin/vidmora" "$bin/vidmora-batch" "$bin/UxTheme.dll" "$bin/zandrio.dll" "$bin/quimbel.dll" \
  "$program/"
mkfifo "$work/stall.flv"  # keeps the batch's second encoder waiting until it is stopped
start_display

start first
(cd "$work" && exec env HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
  "$program/vidmora-batch" --jobs 2 --output batch-out "$sample" stall.flv) >"$work/batch.log" 2>&1 &
batch=$!
pids+=("$batch")
for _ in $(seq 200); do grep -q '^Done' "$work/batch.log" && break; sleep 0.1; done
grep -q '^Done' "$work/batch.log" || fail "the batch cannot convert beside a window: $(cat "$work/batch.log")"
convert "$first" "$first_window" || fail "the window cannot convert beside the batch"

close first
probes || fail "closing the window took the batch's encoders: $(ls -l "$system")"
start second
convert "$second" "$second_window" || fail "a window cannot start and convert beside the batch"

kill -TERM "$batch"
status=0
wait "$batch" || status=$?
[ "$status" -eq 130 ] || fail "the batch ended with $status: $(cat "$work/batch.log")"
probes || fail "the batch's end took the window's encoders: $(ls -l "$system")"
convert "$second" "$second_window" || fail "the window cannot convert once the batch ended"

close second
put_back || fail "the encoders not scrambled back at the last end: $(ls -l "$system")"
echo "a window and vidmora-batch: each keeps its encoders while the other ends; the last restores them"
