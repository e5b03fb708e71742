#!/usr/bin/env bash
# batch_runs.sh PROGRAM_FOLDER CLIP_MAKER CASE: vidmora-batch from the program folder on clips
# made with CLIP_MAKER (make_flv_fixture), in a home of its own. CASE is one of:
#   folders    folders read as the window reads them, explicit files, - on standard input,
#              JSON lines, a PATH that does not exist; no toolkit linked in
#   mirror     same-named files in different folders: --mirror-folders keeps them apart, and
#              without it several jobs at once name them as the window does one by one
#   failing    --jobs 2 with a file that is no video among good ones
#   interrupt  SIGINT and SIGTERM while an encoder runs: exit 130, earlier outputs intact,
#              no temporary file and no encoder left, the encoders put back
set -euo pipefail
bin="$(cd "$1" && pwd)"
make_clip="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
work="$(mktemp -d /tmp/vidmora-batch-XXXXXX)"
batch_pid=""
cleanup() {
  [ -z "$batch_pid" ] || kill -9 "$batch_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cd "$work"
export HOME="$work/home" XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME"
log="$XDG_STATE_HOME/vidmora/vidmora.log"
system="$XDG_DATA_HOME/vidmora/system"
clip() { mkdir -p "$(dirname "$1")" && "$make_clip" "$@" >/dev/null; }
# batch ARGUMENT...: vidmora-batch, its output in $work/stdout, its exit status in $status.
batch() {
  status=0
  "$bin/vidmora-batch" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
}
expect_status() {
  [ "$status" -eq "$1" ] ||
    fail "exit status $status, not $1: $(cat "$work/stdout" "$work/stderr")"
}
# files FOLDER: the files under FOLDER, relative to it, sorted.
files() { (cd "$1" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' '); }
# The encoders are scrambled back once no window and no batch runs.
encoders_put_back() {
  local encoder
  for encoder in zandrio.dll quimbel.dll; do
    cmp -s "$system/$encoder" "$bin/$encoder" || fail "$encoder not put back"
  done
}

case "$3" in
folders)
  ! ldd "$bin/vidmora-batch" | grep -qi qt || fail "vidmora-batch links the toolkit"
  clip archive/2009/a/one.flv --seconds 2
  clip archive/2009/Two.FLV --seconds 2
  clip archive/2010/three.flv --seconds 2
  clip archive/.hidden/hidden.flv --seconds 2
  clip extra/named.flv --seconds 2
  echo notes >archive/notes.txt
  mkdir out
  batch --output out archive extra/named.flv
  expect_status 0
  [ "$(files out)" = "Two.avi named.avi one.avi three.avi " ] || fail "outputs: $(files out)"
  [ "$(grep -c 'exit status 0' "$log")" -eq 4 ] || fail "log: $(cat "$log")"
  grep -q "^Done  *archive/2010/three.flv -> out/three.avi (00:00:02 in " "$work/stdout" ||
    fail "no line for three.flv: $(cat "$work/stdout")"
  tail -1 "$work/stdout" | grep -q '^4 files in .*: 4 converted, 0 skipped, 0 failed' ||
    fail "summary: $(tail -1 "$work/stdout")"
  encoders_put_back

  mkdir json
  status=0
  printf '%s\n' archive/2009 "$work/extra/named.flv" gone.flv | "$bin/vidmora-batch" --json \
    --format mpeg2 --output json - >"$work/stdout" 2>"$work/stderr" || status=$?
  expect_status 1
  [ "$(files json)" = "Two.mpg named.mpg one.mpg " ] || fail "outputs: $(files json)"
  [ "$(wc -l <"$work/stdout")" -eq 4 ] || fail "JSON lines: $(cat "$work/stdout")"
  grep -qx '{"source":"gone.flv","target":"","status":"Failed","length":null,"converted":0,"seconds":0.000,"exit_status":null,"reason":"No such file or directory"}' \
    "$work/stdout" || fail "the missing path: $(cat "$work/stdout")"
  grep -q '^{"source":"archive/2009/a/one.flv","target":"'"$work"'/json/one.mpg","status":"Done","length":2,"converted":2,' \
    "$work/stdout" || fail "a converted file: $(cat "$work/stdout")"
  ;;
mirror)
  clip archive/clip.flv --seconds 2
  clip archive/x/clip.flv --seconds 3
  clip archive/y/clip.flv --seconds 4
  mkdir mirrored flat relative
  batch --mirror-folders --jobs 3 --output mirrored archive
  expect_status 0
  [ "$(files mirrored)" = "clip.avi x/clip.avi y/clip.avi " ] || fail "mirrored: $(files mirrored)"
  # Three at once, yet each named as the window names them one after another.
  batch --jobs 3 --output flat archive
  expect_status 0
  for pair in clip.flv:clip.avi x/clip.flv:clip_1.avi y/clip.flv:clip_2.avi; do
    grep -qP "\t$work/archive/${pair%:*}\t.*\"$work/flat/${pair#*:}\"\texit status 0\t" "$log" ||
      fail "${pair%:*} not converted to ${pair#*:}: $(cat "$log")"
  done
  batch --jobs 3 --existing skip --output flat archive
  expect_status 0
  [ "$(grep -c '^Skipped .*flat/clip.avi exists$' "$work/stdout")" -eq 3 ] &&
    [ "$(files flat)" = "clip.avi clip_1.avi clip_2.avi " ] || fail "skip: $(cat "$work/stdout")"
  # Files named by relative paths keep their folders.
  status=0
  find archive -name '*.flv' | "$bin/vidmora-batch" --mirror-folders --output relative - \
    >"$work/stdout" 2>&1 || status=$?
  expect_status 0
  [ "$(files relative)" = "archive/clip.avi archive/x/clip.avi archive/y/clip.avi " ] ||
    fail "relative: $(files relative)"
  ;;
failing)
  for name in a b c d; do clip "in/$name.flv" --seconds 2; done
  "$make_clip" in/bad.flv --not-video
  mkdir out
  batch --jobs 2 --output out in
  expect_status 1
  [ "$(files out)" = "a.avi b.avi c.avi d.avi " ] || fail "outputs: $(files out)"
  grep -q "^Failed  *in/bad.flv (.*): error: " "$work/stdout" || fail "no failure: $(cat "$work/stdout")"
  grep -q ': 4 converted, 0 skipped, 1 failed$' "$work/stdout" || fail "summary: $(cat "$work/stdout")"
  ;;
interrupt)
  clip in/a.flv --seconds 2
  mkfifo in/stall.flv  # an encoder reading it waits until stopped
  for signal in INT TERM; do
    rm -rf out && mkdir out
    "$bin/vidmora-batch" --jobs 2 --output out in/a.flv in/stall.flv >"$work/stdout" 2>&1 &
    batch_pid=$!
    for _ in $(seq 200); do grep -q '^Done' "$work/stdout" && break; sleep 0.1; done
    grep -q '^Done' "$work/stdout" || fail "a.flv was not converted: $(cat "$work/stdout")"
    sum="$(md5sum <out/a.avi)"
    sleep 0.5
    pgrep -f "$work/in/stall.flv" >/dev/null || fail "no encoder runs on the stalled source"
    kill -"$signal" "$batch_pid"
    status=0
    timeout 20 tail --pid="$batch_pid" -f /dev/null || fail "SIG$signal did not end the batch"
    wait "$batch_pid" || status=$?
    batch_pid=""
    expect_status 130
    [ "$(md5sum <out/a.avi)" = "$sum" ] || fail "a.avi changed"
    [ "$(ls -A out)" = "a.avi" ] || fail "left in the output folder: $(ls -A out)"
    ! pgrep -f "$work/in/stall.flv" >/dev/null || fail "an encoder still runs"
    grep -q "^Stopped  *in/stall.flv" "$work/stdout" || fail "no Stopped line: $(cat "$work/stdout")"
    grep -qP "\t$work/in/stall.flv\t.*\tstopped\t" "$log" || fail "not logged: $(cat "$log")"
    encoders_put_back
  done
  ;;
*)
  fail "no case $3"
  ;;
esac
echo "vidmora-batch $3: all well"
