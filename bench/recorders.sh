#!/usr/bin/env bash
# The encoder on what today's recorders and servers write: 60-second 1280x720 30 fps HEVC + AAC
# and AV1 + Opus enhanced FLV files, made here by the project's own FLV writer (the test
# fixture maker, on Debian's libx265, libaom and libopus), converted to AVI and WMV on one core
# (taskset -c 0) and on two, with the program's start-up settings and at chosen bit rates. Alternating runs; median and fastest wall time, processor time,
# peak memory; the speed-up of two cores over one. Then, once each, the peak memory of every
# format from 10-second 1920x1080 clips of both kinds, and the time from SIGTERM to exit two
# seconds into a conversion of each 720p clip (median of three).
#   usage: bash bench/recorders.sh [RUNS]   (default 3)
# The scratch folder is $BENCH_DIR (default /tmp/vidmora-bench); $ENCODER_FOLDER holds the
# zandrio and quimbel to measure (default build/encoder).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"
dir="${BENCH_DIR:-/tmp/vidmora-bench}"
encoders="${ENCODER_FOLDER:-build/encoder}"
mkdir -p "$dir/times"

# GNU time for peak memory; the rest is the project's own build.
. bench/packages.sh
install_absent time
[ -f build/build.ninja ] || bash scripts/setup.sh
cmake --build build --target zandrio quimbel make_flv_fixture

# make_clip FILE VIDEO AUDIO SIZE SECONDS: a recording of the fixture's moving pattern, made once
# (minutes: the HEVC and AV1 encoders are slow).
make_clip() {
  [ -s "$1" ] && return
  echo "making $1 ..."
  build/tests/fixtures/make_flv_fixture "$1.part" --video "$2" --audio "$3" --size "$4" --fps 30 \
    --seconds "$5" >/dev/null
  mv "$1.part" "$1"
}
make_clip "$dir/hevc-aac-1280x720-60s.flv" hvc1 aac 1280x720 60
make_clip "$dir/av1-opus-1280x720-60s.flv" av01 Opus 1280x720 60
make_clip "$dir/hevc-aac-1920x1080-10s.flv" hvc1 aac 1920x1080 10
make_clip "$dir/av1-opus-1920x1080-10s.flv" av01 Opus 1920x1080 10

source bench/measure.sh
zandrio="$encoders/zandrio" quimbel="$encoders/quimbel"
# The program's start-up settings ("Default" checked: the encoder's own quality), and chosen
# bit rates (stretches of thirty seconds instead of ten: two in a minute).
rated=(-b 2000 -r 30.00 -ab 128)
mpeg=(-b 4000 -r 30.00 -ab 192)
for source in hevc-aac av1-opus; do
  clip="$dir/$source-1280x720-60s.flv"
  for quality in default rated; do
    settings=()
    [ "$quality" = rated ] && settings=("${rated[@]}")
    for cpus in 0 0,1; do
      job "$source-avi-$quality-$cpus" "$source AVI $quality taskset -c $cpus" "$runs" \
        taskset -c "$cpus" "$zandrio" -i "$clip" -vcodec msmpeg4v2 "${settings[@]}" \
        -y "$dir/$source-avi-$quality-$cpus.avi"
      job "$source-wmv-$quality-$cpus" "$source WMV $quality taskset -c $cpus" "$runs" \
        taskset -c "$cpus" "$quimbel" -i "$clip" -vcodec wmv2 "${settings[@]}" \
        -y "$dir/$source-wmv-$quality-$cpus.wmv"
    done
  done
done
avi=(-vcodec msmpeg4v2 "${rated[@]}")
wmv=(-vcodec wmv2 "${rated[@]}")
tables=${#names[@]}  # the jobs above alternate in rounds; those below run once
for source in hevc-aac av1-opus; do
  clip="$dir/$source-1920x1080-10s.flv"
  job "1080-$source-avi" "$source AVI" 1 "$zandrio" -i "$clip" "${avi[@]}" -y "$dir/1080-$source.avi"
  job "1080-$source-wmv" "$source WMV" 1 "$quimbel" -i "$clip" "${wmv[@]}" -y "$dir/1080-$source.wmv"
  job "1080-$source-mpeg1" "$source MPEG-1" 1 "$zandrio" -i "$clip" -vcodec mpeg1video "${mpeg[@]}" \
    -y "$dir/1080-$source-1.mpg"
  job "1080-$source-mpeg2" "$source MPEG-2" 1 "$zandrio" -i "$clip" -vcodec mpeg2video "${mpeg[@]}" \
    -y "$dir/1080-$source-2.mpg"
done

rounds "$tables" "$runs"
for i in $(seq "$tables" $((${#names[@]} - 1))); do measure "$i"; done

# Milliseconds from SIGTERM, sent two seconds into a conversion by $1 of $2 to $3, to the
# encoder's exit (which must be 3: stopped early).
stop_ms() {
  "$1" -i "$2" -vcodec "$3" -y "$4" 2>/dev/null &
  local pid=$! sent ended status=0
  sleep 2
  sent=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid" || status=$?
  ended=$(date +%s%N)
  [ "$status" -eq 3 ] || { echo "FAILED"; return; }
  calc %.0f "($ended - $sent) / 1000000"
}
median3() { printf '%s\n' "$@" | sort -n | sed -n 2p; }

echo
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $cores cores, $runs runs each =="
echo "load average before $load_before, after $load_after; other processes took ${others} s of" \
  "processor time in the ${wall} s of the rounds ($(calc %.0f "100 * $others / $wall / $cores") %" \
  "of the $cores cores)"
echo
printf '%-40s %4s  %-17s  %-17s  %5s\n' "60 s at 1280x720" runs "wall s med/min/max" \
  "cpu s med/min/max" "MiB"
for i in $(seq 0 $((tables - 1))); do
  n=${names[$i]}
  printf '%-40s %4d  %5.2f %5.2f %5.2f  %5.2f %5.2f %5.2f  %5s\n' "${labels[$i]}" \
    "$(wc -l <"$dir/times/$n.txt")" $(stats "$n" 1) $(stats "$n" 2) "$(mib "$n")"
done
echo
echo "1920x1080, 10 s clips, one run each:"
peak=0
for i in $(seq "$tables" $((${#names[@]} - 1))); do
  n=${names[$i]}
  printf '%-32s wall %6.2f s  cpu %6.2f s  peak %5s MiB\n' "${labels[$i]}" \
    "$(field "$n" 1 1)" "$(field "$n" 2 1)" "$(mib "$n")"
  peak=$(calc %d "($(mib "$n") > $peak) ? $(mib "$n") : $peak")
done
echo
echo "SIGTERM to exit, two seconds into a conversion of the 720p clips (ms, median of 3):"
slowest=0
for source in hevc-aac av1-opus; do
  for format in msmpeg4v2:avi:zandrio wmv2:wmv:quimbel; do
    IFS=: read -r codec extension encoder <<<"$format"
    times=()
    for _ in 1 2 3; do
      times+=("$(stop_ms "$encoders/$encoder" "$dir/$source-1280x720-60s.flv" "$codec" "$dir/stop.$extension")")
    done
    ms=$(median3 "${times[@]}")
    printf '%-32s %s\n' "$source $codec" "$ms (${times[*]})"
    if [ "$ms" = FAILED ] || [ "$slowest" = FAILED ]; then slowest=FAILED
    else slowest=$(calc %d "($ms > $slowest) ? $ms : $slowest"); fi
  done
done

echo
echo "goals (median; fastest runs):"
for source in hevc-aac av1-opus; do
  for quality in default rated; do
    for format in avi wmv; do
      n="$source-$format-$quality"
      med=$(calc %.2f "$(field "$n-0" 1 1) / $(field "$n-0,1" 1 1)")
      min=$(calc %.2f "$(field "$n-0" 1 2) / $(field "$n-0,1" 1 2)")
      goal "$source $format $quality: one core's wall / two cores'" "$med; $min" ">= 1.8" \
        "$(verdict "$med >= 1.8")"
    done
  done
done
goal "peak memory at 1920x1080, largest (MiB)" "$peak" "<= 300" "$(verdict "$peak <= 300")"
goal "SIGTERM to exit at 1280x720, slowest (ms)" "$slowest" "<= 200" \
  "$( [ "$slowest" = FAILED ] && echo "NOT met" || verdict "$slowest <= 200")"
