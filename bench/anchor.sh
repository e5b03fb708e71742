#!/usr/bin/env bash
# The encoder against the GStreamer pipelines a Linux user would type, for every output format,
# side by side on 180-second 640x360 30 fps clips that GStreamer makes here: Sorenson H.263 +
# MP3 (the Flash-era kind) and H.264 + AAC (the later kind). Alternating runs; median, minimum
# and maximum of wall time and processor time (user + system), median peak memory; the video
# bit rate and luma PSNR of each output against the raw pattern the clips were made from; the
# goals' ratios; AVI on one core against two; peak memory at 3840x2160; then encoder_bench
# (each codec against its pipeline's bound, probe times, SIGTERM to exit at three sizes).
#   usage: bash bench/anchor.sh [RUNS]   (default 5; GStreamer's MPEG pipelines run once: mpeg2enc
#   takes minutes)
# The scratch folder is $BENCH_DIR (default /tmp/vidmora-bench); $ENCODER_FOLDER holds the
# zandrio and quimbel to measure (default build/encoder, e.g. another build's to compare).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
dir="${BENCH_DIR:-/tmp/vidmora-bench}"
encoders="${ENCODER_FOLDER:-build/encoder}"
mkdir -p "$dir/times"

# The bench's own set-up, not the program's: GStreamer for the clips and the pipelines (x264enc
# and lamemp3enc are in -ugly, mpeg2enc in -bad, the libav codecs in -libav), GNU time for
# peak memory.
wanted=(gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav time)
. bench/packages.sh
install_absent "${wanted[@]}"
[ -f build/build.ninja ] || bash scripts/setup.sh
cmake --build build --target zandrio quimbel encoder_bench output_quality

# The pattern: a scrolling pinwheel, which the encoders have to search motion in, as 4:2:0
# frames of size $1 at 30 fps, $2 of them. The sound: pink noise, content at every frequency,
# as long as $2 frames.
pattern() {
  echo "videotestsrc pattern=pinwheel horizontal-speed=3 num-buffers=$2" \
    "! video/x-raw,format=I420,width=${1%x*},height=${1#*x},framerate=30/1"
}
sound() {
  echo "audiotestsrc wave=pink-noise volume=0.3 samplesperbuffer=1024" \
    "num-buffers=$(($2 * 44100 / 30 / 1024 + 1)) ! audioconvert ! audio/x-raw,rate=44100,channels=2"
}
# make_clip FILE SIZE FRAMES VIDEO_ENCODER AUDIO_ENCODER: a .flv of the pattern, made once.
make_clip() {
  [ -s "$1" ] && return
  echo "making $1 ..."
  gst-launch-1.0 -q $(pattern "$2" "$3") ! $4 ! queue ! flvmux name=mux ! filesink location="$1.part" \
    $(sound "$2" "$3") ! $5 ! queue ! mux.
  mv "$1.part" "$1"
}
# Flash-era files carry constant-bit-rate MP3; a key frame every 25 frames, not the generator's
# 12, which would fall on the pipelines' own key frames and make their work unusually light.
h263="avenc_flv bitrate=800000 gop-size=25"
mp3="lamemp3enc target=bitrate bitrate=128 cbr=true ! mpegaudioparse"
clip="$dir/bench-640x360-180s.flv"
clip264="$dir/bench-h264-640x360-180s.flv"
clip4k="$dir/bench-3840x2160-10s.flv"
make_clip "$clip" 640x360 5400 "$h263" "$mp3"
make_clip "$clip264" 640x360 5400 "x264enc bitrate=800 key-int-max=75 ! video/x-h264,profile=main \
  ! h264parse" "avenc_aac bitrate=128000 ! aacparse"
make_clip "$clip4k" 3840x2160 300 "avenc_flv bitrate=8000000 gop-size=25" "$mp3"

source bench/measure.sh
zandrio="$encoders/zandrio" quimbel="$encoders/quimbel"
avi=(-vcodec msmpeg4v2 -b 500 -r 30.00 -ab 128)
mpeg=(-b 1000 -r 30.00 -ab 192)
job avi-ours "AVI    ours" "$runs" "$zandrio" -i "$clip" "${avi[@]}" -y "$dir/avi-ours.avi"
job avi-typed "       gst-avi.sh" "$runs" bench/gst-avi.sh "$clip" "$dir/avi-typed.avi"
job avi-copying "       gst-avi-copy.sh" "$runs" bench/gst-avi-copy.sh "$clip" "$dir/avi-copying.avi"
job wmv-ours "WMV    ours" "$runs" "$quimbel" -i "$clip" -vcodec wmv2 -b 500 -r 30.00 -ab 128 \
  -y "$dir/wmv-ours.wmv"
job wmv-gst "       gst-format.sh wmv" "$runs" bench/gst-format.sh wmv "$clip" "$dir/wmv-gst.wmv"
job mpeg1-ours "MPEG-1 ours" "$runs" "$zandrio" -i "$clip" -vcodec mpeg1video "${mpeg[@]}" \
  -y "$dir/mpeg1-ours.mpg"
job mpeg1-gst "       gst-format.sh mpeg1" 1 bench/gst-format.sh mpeg1 "$clip" "$dir/mpeg1-gst.mpg"
job mpeg2-ours "MPEG-2 ours" "$runs" "$zandrio" -i "$clip" -vcodec mpeg2video "${mpeg[@]}" \
  -y "$dir/mpeg2-ours.mpg"
job mpeg2-gst "       gst-format.sh mpeg2" 1 bench/gst-format.sh mpeg2 "$clip" "$dir/mpeg2-gst.mpg"
job h264-ours "AVI from H.264+AAC ours" "$runs" "$zandrio" -i "$clip264" "${avi[@]}" \
  -y "$dir/h264-ours.avi"
job h264-typed "       gst-avi-h264.sh" "$runs" bench/gst-avi-h264.sh "$clip264" "$dir/h264-typed.avi"
for cpus in 0 0,1; do
  job "cores$cpus-ours" "ours" "$runs" taskset -c "$cpus" "$zandrio" -i "$clip" "${avi[@]}" \
    -y "$dir/cores$cpus-ours.avi"
  job "cores$cpus-typed" "gst-avi.sh" "$runs" taskset -c "$cpus" bench/gst-avi.sh "$clip" \
    "$dir/cores$cpus-typed.avi"
done
tables=${#names[@]}  # the jobs above are in the side-by-side tables; those below run once
job 4k-avi "AVI    ours" 1 "$zandrio" -i "$clip4k" "${avi[@]}" -y "$dir/4k-avi.avi"
job 4k-wmv "WMV    ours" 1 "$quimbel" -i "$clip4k" -vcodec wmv2 -b 500 -r 30.00 -ab 128 \
  -y "$dir/4k-wmv.wmv"
job 4k-mpeg1 "MPEG-1 ours" 1 "$zandrio" -i "$clip4k" -vcodec mpeg1video "${mpeg[@]}" \
  -y "$dir/4k-mpeg1.mpg"
job 4k-mpeg2 "MPEG-2 ours" 1 "$zandrio" -i "$clip4k" -vcodec mpeg2video "${mpeg[@]}" \
  -y "$dir/4k-mpeg2.mpg"
job 4k-typed "AVI    gst-avi.sh" 1 bench/gst-avi.sh "$clip4k" "$dir/4k-typed.avi"

rounds "$tables" "$runs"
for i in $(seq "$tables" $((${#names[@]} - 1))); do measure "$i"; done

echo "comparing the outputs with the raw pattern ..."
quality="$dir/quality.txt"
outputs=()
for i in $(seq 0 $((tables - 1))); do
  eval "set -- ${commands[$i]}"
  outputs+=("${@: -1}")
done
gst-launch-1.0 -q $(pattern 640x360 5400) ! fdsink fd=1 |
  build/bench/output_quality --raw 640x360@30 "${outputs[@]}" >"$quality"
# kbit/s of the video stream, or PSNR Y, of job $1's output.
kbits() { awk -v f="$dir/$1." 'index($0, f) == 1 { on = 1; next } /^[^ ]/ { on = 0 }
  on && $1 == "video" { print $9; exit }' "$quality"; }
psnr() { awk -v f="$dir/$1." 'index($0, f) == 1 { on = 1; next } /^[^ ]/ { on = 0 }
  on && $1 == "PSNR" { print $7; exit }' "$quality"; }

echo "encoder_bench (SIGTERM to exit at every size) ..."
build/bench/encoder_bench "$clip" "$dir" "$encoders" >"$dir/encoder_bench.txt"

row() {  # the side-by-side line of job $1
  local i=$1 n=${names[$1]}
  printf '%-27s %4d  %5.2f %5.2f %5.2f  %5.2f %5.2f %5.2f  %5s  %6s  %6s\n' "${labels[$i]}" \
    "$(wc -l <"$dir/times/$n.txt")" $(stats "$n" 1) $(stats "$n" 2) "$(mib "$n")" \
    "$(kbits "$n")" "$(psnr "$n")"
}
ratio() { calc %.2f "$(field "$1" 1 "$3") / $(field "$2" 1 "$3")"; }  # wall of $1 over $2's

echo
cat "$quality"
echo
cat "$dir/encoder_bench.txt"
echo
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $cores cores, $runs runs each (GStreamer's MPEG: 1) =="
echo "load average before $load_before, after $load_after; other processes took ${others} s of" \
  "processor time in the ${wall} s of the rounds ($(calc %.0f "100 * $others / $wall / $cores") %" \
  "of the $cores cores)"
echo
printf '%-27s %4s  %-17s  %-17s  %5s  %6s  %6s\n' "180 s at 640x360" runs "wall s med/min/max" \
  "cpu s med/min/max" "MiB" "kbit/s" "PSNR-Y"
for i in $(seq 0 $((tables - 1))); do [[ ${names[$i]} == cores* ]] || row "$i"; done
echo
echo "per run: context switches in thousands, voluntary (waits) and involuntary (preempted);"
echo "the share of the $cores cores other processes took meanwhile (median/min/max)"
printf '%-27s  %-17s  %-17s  %s\n' "" "voluntary" "involuntary" "others %"
for i in $(seq 0 $((tables - 1))); do
  n=${names[$i]}
  [[ $n == cores* ]] || printf '%-27s  %5.1f %5.1f %5.1f  %5.1f %5.1f %5.1f  %3.0f %3.0f %3.0f\n' "${labels[$i]}" \
    $(stats "$n" 4 | awk '{ print $1 / 1000, $2 / 1000, $3 / 1000 }') \
    $(stats "$n" 5 | awk '{ print $1 / 1000, $2 / 1000, $3 / 1000 }') $(stats "$n" 6)
done
echo
echo "AVI from the H.263 + MP3 clip on one core and on two (wall s, median/min; cpu s median):"
printf '%-11s %18s %18s %9s %13s\n' "" "taskset -c 0" "taskset -c 0,1" "speed-up" "4 / 8 cores*"
for who in ours typed; do
  one=$(field "cores0-$who" 1 1) two=$(field "cores0,1-$who" 1 1)
  # Amdahl: the share p that ran in parallel on two cores, spread evenly over n.
  p=$(calc %.4f "2 * (1 - $two / $one)")
  p=$(calc %.4f "($p < 0) ? 0 : ($p > 1) ? 1 : $p")
  printf '%-11s %5.2f %5.2f %6.2f %5.2f %5.2f %6.2f %9.2f %6.2f %6.2f\n' \
    "$( [ $who = ours ] && echo ours || echo gst-avi.sh)" "$one" "$(field "cores0-$who" 1 2)" \
    "$(field "cores0-$who" 2 1)" "$two" "$(field "cores0,1-$who" 1 2)" \
    "$(field "cores0,1-$who" 2 1)" "$(calc %.2f "$one / $two")" \
    "$(calc %.2f "$one * (1 - $p + $p / 4)")" "$(calc %.2f "$one * (1 - $p + $p / 8)")"
done
echo "* Amdahl's estimate from the two-core speed-up: an upper bound on what more cores give"
echo
echo "3840x2160, 10 s clip, one run each:"
for i in $(seq "$tables" $((${#names[@]} - 1))); do
  n=${names[$i]}
  printf '%-27s wall %6.2f s  cpu %6.2f s  peak %5s MiB  others %3.0f %%\n' "${labels[$i]}" \
    "$(field "$n" 1 1)" "$(field "$n" 2 1)" "$(mib "$n")" "$(field "$n" 6 1)"
done
stop4k=$(awk '/^SIGTERM to exit/ { on = 1; next } on && NF == 4 && $1 != "codec" { ++rows
  if ($4 == "FAILED") failed = 1; else if ($4 > m) m = $4 } END { print failed || !rows ? "FAILED" : m }' \
  "$dir/encoder_bench.txt")
peak=0
for n in avi wmv mpeg1 mpeg2 h264; do peak=$(calc %d "($(mib "$n-ours") > $peak) ? $(mib "$n-ours") : $peak"); done
peak4k=0
for n in avi wmv mpeg1 mpeg2; do peak4k=$(calc %d "($(mib "4k-$n") > $peak4k) ? $(mib "4k-$n") : $peak4k"); done

echo
echo "goals (median; fastest runs):"
wall_goal() {  # LABEL OURS THEIRS BOUND: our wall time over theirs
  local med min
  med=$(ratio "$2" "$3" 1) min=$(ratio "$2" "$3" 2)
  goal "$1" "$med; $min" "<= $4" "$(verdict "$med <= $4")"
}
wall_goal "AVI / gst-avi.sh, wall" avi-ours avi-typed 0.65
wall_goal "AVI / gst-avi-copy.sh, wall" avi-ours avi-copying 0.80
wall_goal "WMV / gst-format.sh wmv, wall" wmv-ours wmv-gst 0.60
wall_goal "AVI from H.264+AAC / gst-avi-h264.sh, wall" h264-ours h264-typed 0.85
difference=$(calc %.2f "$(psnr avi-ours) - $(psnr avi-typed)")
goal "AVI PSNR-Y, ours - gst-avi.sh's (dB)" "$difference" ">= -0.30" "$(verdict "$difference >= -0.3")"
off=$(calc %.1f "100 * ($(kbits avi-ours) / 500 - 1)")
goal "AVI video bit rate, off 500 kbit/s (%)" "$off" "within 10" "$(verdict "$off <= 10 && $off >= -10")"
goal "peak memory at 640x360, largest (MiB)" "$peak" "<= 100" "$(verdict "$peak <= 100")"
goal "peak memory at 3840x2160, largest (MiB)" "$peak4k" "<= 400" "$(verdict "$peak4k <= 400")"
goal "SIGTERM to exit at 3840x2160, slowest (ms)" "$stop4k" "<= 200" \
  "$( [ "$stop4k" = FAILED ] && echo "NOT met" || verdict "$stop4k <= 200")"
