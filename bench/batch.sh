#!/usr/bin/env bash
# vidmora-batch on 100 short clips (10 to 60 s) and 5 long ones (10 min), made here as Flash
# video of the H.263 years was made (Sorenson H.263 at 320x240 and 640x360, constant-bit-rate
# MP3), converted to AVI with --jobs 1, --jobs 2 and the default; the short clips also by the
# window (measured once on a virtual display: its probing from its start until the probe
# chain is over, then its batch from Start to the end message) and, at gst-avi.sh's settings
# (500 kbit/s, MP3 at 128 kbit/s, 30 frames per second), by GNU parallel running
# bench/gst-avi.sh on each file two at a time; the long clips also by the encoder run on one
# file after another. Prints wall and processor time, the peak memory of vidmora-batch itself
# (not its encoders), the load, the share of the cores other processes took during each run,
# and the goals' ratios. No run is judged by its time: the figures are for reading.
#   usage: bash bench/batch.sh [RUNS]   (default 1; the window runs once)
# The scratch folder is $BENCH_DIR (default /tmp/vidmora-batch-bench); its clips are kept
# for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-1}"
dir="${BENCH_DIR:-/tmp/vidmora-batch-bench}"
bin="$PWD/build/bin"
mkdir -p "$dir/times" "$dir/short" "$dir/long"

# The bench's own set-up, not the program's: GStreamer for the clips and gst-avi.sh (avenc_flv
# and avenc_msmpeg4v2 are in -libav, lamemp3enc in -good), GNU time.
wanted=(gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-libav time)
. bench/packages.sh
install_absent "${wanted[@]}"
[ -f build/build.ninja ] || bash scripts/setup.sh  # GNU parallel, Xvfb and xdotool come with it
cmake --build build --target vidmora vidmora-batch vidmora_encoder_files zandrio

# make_clip FILE SECONDS SIZE FPS PATTERN VIDEO_KBITS RATE CHANNELS AUDIO_KBITS: made once.
make_clip() {
  [ -s "$1" ] && return
  gst-launch-1.0 -q videotestsrc pattern="$5" horizontal-speed=2 num-buffers=$(($2 * $4)) \
    ! "video/x-raw,format=I420,width=${3%x*},height=${3#*x},framerate=$4/1" \
    ! avenc_flv bitrate=$(($6 * 1000)) gop-size=$(($4 * 2)) ! queue ! flvmux name=mux \
    ! filesink location="$1.part" \
    audiotestsrc wave=pink-noise volume=0.3 samplesperbuffer=1024 \
    num-buffers=$(($2 * $7 / 1024 + 1)) ! audioconvert ! "audio/x-raw,rate=$7,channels=$8" \
    ! lamemp3enc target=bitrate bitrate="$9" cbr=true ! mpegaudioparse ! queue ! mux.
  mv "$1.part" "$1"
}
patterns=(pinwheel ball smpte)
echo "making the clips (once) ..."
short_media=0 long_media=$((5 * 600))
for i in $(seq 100); do
  seconds=$((10 + i * 37 % 51))
  short_media=$((short_media + seconds))
  clip="$dir/short/clip-$(printf %03d "$i").flv"
  if ((i % 2)); then  # the small kind: 25 fps, 22.05 kHz mono
    make_clip "$clip" "$seconds" 320x240 25 "${patterns[i % 3]}" 400 22050 1 64
  else
    make_clip "$clip" "$seconds" 640x360 30 "${patterns[i % 3]}" 800 44100 2 128
  fi
done
for i in $(seq 5); do
  make_clip "$dir/long/long-$i.flv" 600 640x360 30 "${patterns[i % 3]}" 800 44100 2 128
done

# Every run in a home of its own: its own log, system folder and output folder.
export HOME="$dir/home" XDG_STATE_HOME="$dir/home/state" XDG_DATA_HOME="$dir/home/data"
export XDG_CONFIG_HOME="$dir/home/config"
out="$dir/out"
fresh_output() { rm -rf "$out" && mkdir -p "$out"; }

busy() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9 }' /proc/stat; }  # clock ticks
ticks=$(getconf CLK_TCK) cores=$(nproc)
# measure NAME COMMAND...: one run into a fresh output folder; appends "wall cpu peak-KiB
# others-% load" to NAME's times, peak-KiB being the peak of a vidmora-batch the command
# runs itself (0 for others), others-% the share of the cores other processes took.
measure() {
  local name=$1 before load peak=0 timer child hwm
  shift
  fresh_output
  load=$(cut -d' ' -f1 /proc/loadavg)
  before=$(busy)
  /usr/bin/time -f "%e %U %S" -o "$dir/time.txt" "$@" >"$dir/$name.log" 2>&1 &
  timer=$!
  # The peak of vidmora-batch itself: its high-water mark, read until it ends.
  while kill -0 "$timer" 2>/dev/null; do
    for child in $(pgrep -P "$timer" -x vidmora-batch || true); do
      hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$child/status" 2>/dev/null || true)
      [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
    done
    sleep 0.05
  done
  wait "$timer" || { echo "$name failed: $*; see $dir/$name.log" >&2; exit 1; }
  awk -v busy="$(($(busy) - before))" -v ticks="$ticks" -v cores="$cores" -v peak="$peak" \
    -v load="$load" '{
    others = 100 * (busy / ticks - $2 - $3) / ($1 * cores)
    printf "%s %.2f %s %.0f %s\n", $1, $2 + $3, peak, others < 0 ? 0 : others, load
  }' "$dir/time.txt" >>"$dir/times/$name.txt"
}

# The encoder itself (its plain executable) on each file, one after another.
one_by_one=(bash -c 'for file in "${@:2}"; do
  "$1" -i "$file" -vcodec msmpeg4v2 -y "'"$out"'/$(basename "${file%.*}").avi" || exit; done' \
  one_by_one "$PWD/build/encoder/zandrio")

# window FILE...: the window on a virtual display with the files on its command line; the
# seconds it probed (from its start until the probe of the last file ended: it probes each
# file once, one after another) and the seconds from Start to the end message, into window's
# times as "wall probing converting load".
window() {
  local xvfb pid started last now pressed box="" load child probes=" "
  rm -rf "$HOME/videooutput" && mkdir -p "$HOME/videooutput"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$dir/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$dir/display")"
  load=$(cut -d' ' -f1 /proc/loadavg)
  started=$(date +%s.%N)
  env -u QT_QPA_PLATFORM "$bin/vidmora" "$@" >"$dir/window.log" 2>&1 &
  pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name '^Free Vidmora$' |
    head -1)
  # Each probe is an encoder the window starts; one that has ended but is not yet reaped (a
  # zombie) is no longer probing. Should a probe be too quick to be seen, thirty seconds
  # without one end the wait all the same.
  last=$(date +%s.%N)
  while now=$(date +%s.%N) && [ "$(wc -w <<<"$probes")" -lt $# ] &&
    awk "BEGIN { exit !($now - $last < 30) }"; do
    for child in $(pgrep -P "$pid" -r R,S,D || true); do
      [[ $probes == *" $child "* ]] || probes+="$child "
      last=$now
    done
    sleep 0.02
  done
  while pgrep -P "$pid" -r R,S,D >/dev/null; do last=$(date +%s.%N) && sleep 0.02; done
  sleep 1
  pressed=$(date +%s.%N)
  xdotool windowfocus --sync "$window" key alt+t
  # xdotool's name search also gives the main window: each name is checked again.
  until [[ $(xdotool getwindowname "$box" 2>/dev/null) =~ ^(Confirm|Warning)$ ]]; do
    sleep 0.1
    for box in $(xdotool search --onlyvisible --pid "$pid" --name '^(Confirm|Warning)$' || true); do
      [[ $(xdotool getwindowname "$box") =~ ^(Confirm|Warning)$ ]] && break
    done
  done
  now=$(date +%s.%N)
  [ "$(xdotool getwindowname "$box")" = Confirm ] || echo "the window's batch had failures" >&2
  awk -v a="$started" -v b="$last" -v c="$pressed" -v d="$now" -v load="$load" \
    'BEGIN { printf "%.2f %.2f %.2f %s\n", (b - a) + (d - c), b - a, d - c, load }' \
    >>"$dir/times/window.txt"
  xdotool windowfocus --sync "$box" key Return
  sleep 0.5
  xdotool windowfocus --sync "$window" key Escape || true
  timeout 10 tail --pid="$pid" -f /dev/null || kill "$pid"
  kill "$xvfb"
  unset DISPLAY
}

short=("$dir"/short/*.flv) long=("$dir"/long/*.flv)
rate=(--video-kbps 500 --audio-kbps 128 --fps 30)
batch=("$bin/vidmora-batch" --quiet --output "$out")
rm -f "$dir"/times/*.txt
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "measuring: the window once, then $runs rounds of the rest ..."
window "${short[@]}"
for round in $(seq "$runs"); do
  for jobs in 1 2; do
    measure "short-jobs$jobs" "${batch[@]}" --jobs "$jobs" "${short[@]}"
  done
  measure short-default "${batch[@]}" "${short[@]}"
  measure short-rate-default "${batch[@]}" "${rate[@]}" "${short[@]}"
  measure short-rate-gst parallel --will-cite -j 2 bench/gst-avi.sh {} "$out/{/.}.avi" \
    ::: "${short[@]}"
  measure long-one-by-one "${one_by_one[@]}" "${long[@]}"
  for jobs in 1 2; do
    measure "long-jobs$jobs" "${batch[@]}" --jobs "$jobs" "${long[@]}"
  done
  measure long-default "${batch[@]}" "${long[@]}"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# The median of column $2 of NAME $1's times.
median() {
  sort -g -k"$2" "$dir/times/$1.txt" | awk -v c="$2" '{ v[NR] = $c }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
peak() { awk '$3 > m { m = $3 } END { if (m > 0) printf "%.1f", m / 1024 }' "$@"; }  # MiB
# row LABEL NAME MEDIA: wall and processor seconds, seconds of media per second, the peak of
# vidmora-batch, the share of the cores others took, and the load average at the start.
row() {
  local wall
  wall=$(median "$2" 1)
  printf '%-42s %7.1f %7.1f %7.1f %9s %5.0f%% %5s\n' "$1" "$wall" "$(median "$2" 2)" \
    "$(calc %.1f "$3 / $wall")" "$(peak "$dir/times/$2.txt")" "$(median "$2" 4)" "$(median "$2" 5)"
}
echo
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $cores cores, $runs run(s) each, the window once =="
echo "load average before $load_before, after $load_after"
echo
printf '%-42s %7s %7s %7s %9s %6s %5s\n' "" "wall s" "cpu s" "media x" "peak MiB" "others" "load"
echo "100 short clips, $short_media s of media, to AVI at the default quality:"
read -r window_wall probing converting window_load <"$dir/times/window.txt"
printf '%-42s %7.1f %7s %7.1f %9s %6s %5s\n' "  window: probing $probing s + batch $converting s" \
  "$window_wall" "" "$(calc %.1f "$short_media / $window_wall")" "" "" "$window_load"
row "  vidmora-batch --jobs 1" short-jobs1 "$short_media"
row "  vidmora-batch --jobs 2" short-jobs2 "$short_media"
row "  vidmora-batch" short-default "$short_media"
echo "the same at 500 kbit/s, MP3 at 128 kbit/s, 30 fps:"
row "  vidmora-batch" short-rate-default "$short_media"
row "  parallel -j 2 bench/gst-avi.sh" short-rate-gst "$short_media"
echo "5 long clips, $long_media s of media, to AVI at the default quality:"
row "  the encoder on one file after another" long-one-by-one "$long_media"
row "  vidmora-batch --jobs 1" long-jobs1 "$long_media"
row "  vidmora-batch --jobs 2" long-jobs2 "$long_media"
row "  vidmora-batch" long-default "$long_media"

echo
echo "goals on $cores cores (median wall times):"
goal() {  # LABEL VALUE BOUND
  printf '%-52s %6s  %-8s %s\n' "$1" "$2" "$3" \
    "$( [ "$(calc %d "$2 $3")" = 1 ] && echo met || echo "NOT met")"
}
goal "short, vidmora-batch / the window" \
  "$(calc %.2f "$(median short-default 1) / $window_wall")" "<= 0.35"
goal "short, vidmora-batch / parallel + gst-avi.sh" \
  "$(calc %.2f "$(median short-rate-default 1) / $(median short-rate-gst 1)")" "<= 0.70"
goal "long, vidmora-batch / one after another" \
  "$(calc %.2f "$(median long-default 1) / $(median long-one-by-one 1)")" "<= 1.00"
goal "peak memory of vidmora-batch itself, largest (MiB)" \
  "$(cat "$dir"/times/short-*.txt "$dir"/times/long-*.txt | peak)" "< 30"
