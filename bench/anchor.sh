#!/usr/bin/env bash
# The encoder against the GStreamer pipeline a Linux user would type (bench/gst-avi.sh), on a
# 180-second 640x360 30 fps clip (Sorenson H.263 + MP3 in FLV) that GStreamer makes here:
# the same AVI conversion, alternating runs, medians of wall time, processor time (user +
# system) and peak memory, and our figure over theirs. Then what both outputs hold, and
# encoder_bench on the same clip: every codec's frames per second against its pipeline's
# bound, probe times and stop latency.
#   usage: bench/anchor.sh [RUNS]   (default 5)
# The scratch folder is $BENCH_DIR (default /tmp/vidmora-bench); $ENCODER_FOLDER holds the
# zandrio and quimbel to measure (default build/encoder, e.g. another build's to compare).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
dir="${BENCH_DIR:-/tmp/vidmora-bench}"
encoders="${ENCODER_FOLDER:-build/encoder}"
mkdir -p "$dir"

# The bench's own set-up, not the program's: GStreamer for the clip and the anchor, GNU time
# for peak memory.
wanted=(gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav time)
absent=($(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>&1 |
  awk '!/install ok installed/ { sub(/^dpkg-query: no packages found matching /, ""); print $1 }'))
if [ ${#absent[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] && as_root="" || as_root="sudo"
  $as_root apt-get update
  DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y --no-install-recommends "${absent[@]}"
fi
[ -f build/build.ninja ] || bash scripts/setup.sh
cmake --build build -j2 --target zandrio quimbel encoder_bench output_quality

# A scrolling pinwheel at 800 kbit/s, pink noise as MP3 at 128 kbit/s: pictures the encoder
# has to search motion in, sound with content at every frequency. A keyframe every 25 frames:
# every 12, the generator's default, would fall on the anchor encoder's own keyframes (its
# default too) and make its work unusually light.
clip="$dir/bench-640x360-180s.flv"
if [ ! -s "$clip" ]; then
  echo "making $clip ..."
  gst-launch-1.0 -q \
    videotestsrc pattern=pinwheel horizontal-speed=3 num-buffers=5400 \
    ! video/x-raw,width=640,height=360,framerate=30/1 ! videoconvert \
    ! avenc_flv bitrate=800000 gop-size=25 ! queue ! flvmux name=mux ! filesink location="$clip" \
    audiotestsrc wave=pink-noise volume=0.3 samplesperbuffer=1024 num-buffers=7753 \
    ! audioconvert ! audio/x-raw,rate=44100,channels=2 \
    ! lamemp3enc target=bitrate bitrate=128 cbr=true ! mpegaudioparse ! queue ! mux.
fi

ours=("$encoders/zandrio" -i "$clip" -vcodec msmpeg4v2 -b 500 -r 30.00 -ab 128 -y "$dir/ours.avi")
theirs=(bench/gst-avi.sh "$clip" "$dir/gstreamer.avi")
# One run: "wall cpu peak-KiB" appended to the file $1.
measure() {
  local into="$1"
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$dir/time.txt" "$@" 2>/dev/null >/dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$dir/time.txt" >>"$into"
}
median() {  # of column $2 of the file $1
  sort -n -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
divide() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
rm -f "$dir/ours.txt" "$dir/theirs.txt"
"${ours[@]}" 2>/dev/null && "${theirs[@]}"  # warm-up: page cache, GStreamer's registry
for _ in $(seq "$runs"); do
  measure "$dir/ours.txt" "${ours[@]}"
  measure "$dir/theirs.txt" "${theirs[@]}"
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
printf '\n%s runs each, alternating, medians:\n' "$runs"
printf '%-12s %10s %10s %12s\n' "" "wall (s)" "cpu (s)" "peak (MiB)"
printf '%-12s %10.2f %10.2f %12.0f\n' "our encoder" "$(median "$dir/ours.txt" 1)" \
  "$(median "$dir/ours.txt" 2)" "$(divide "$(median "$dir/ours.txt" 3)" 1024)"
printf '%-12s %10.2f %10.2f %12.0f\n' "GStreamer" "$(median "$dir/theirs.txt" 1)" \
  "$(median "$dir/theirs.txt" 2)" "$(divide "$(median "$dir/theirs.txt" 3)" 1024)"
printf '%-12s %10s %10s %12s\n\n' "ratio" \
  "$(divide "$(median "$dir/ours.txt" 1)" "$(median "$dir/theirs.txt" 1)")" \
  "$(divide "$(median "$dir/ours.txt" 2)" "$(median "$dir/theirs.txt" 2)")" \
  "$(divide "$(median "$dir/ours.txt" 3)" "$(median "$dir/theirs.txt" 3)")"
build/bench/output_quality "$clip" "$dir/ours.avi"
build/bench/output_quality "$clip" "$dir/gstreamer.avi"
echo
build/bench/encoder_bench "$clip" "$dir" "$encoders"
