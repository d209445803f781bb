#!/usr/bin/env bash
# The end-to-end rows of the benchmark: orv against ffmpeg's hqdn3d on the same
# 1080p frames, as users run each, one thread, processor time (user + system)
# of the whole command, median of ROUNDS rounds in which the commands take
# turns (the machine may be shared: only the ratios of one run count).
#   end_to_end.sh ORV MODULE [FRAMES] [ROUNDS]
#
#   raw:  orv on raw bgr0 frames, stdin to stdout, against ffmpeg's hqdn3d on
#         raw yuv420p frames, file to stdout (hqdn3d's usual format)
#   y4m:  orv y4m to y4m against ffmpeg -vf hqdn3d y4m to y4m
#   h264: orv H.264 to FFV1 against ffmpeg's hqdn3d with the same encoder
set -euo pipefail
orv=$1 module=$2 frames=${3:-60} rounds=${4:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=1920x1080
# Noisy 1080p material in the shape most inputs come in: H.264, yuv420p,
# BT.709; the same frames as y4m, raw yuv420p and raw bgr0.
ffmpeg -v error -y -f lavfi -i "testsrc2=size=$size:rate=25,noise=alls=8:allf=t" -frames:v "$frames" \
  -c:v libx264 -preset ultrafast -crf 18 -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 \
  -color_trc bt709 "$work/in.mp4"
ffmpeg -v error -y -i "$work/in.mp4" "$work/in.y4m"
ffmpeg -v error -y -i "$work/in.mp4" -f rawvideo -pix_fmt yuv420p "$work/in.yuv"
ffmpeg -v error -y -i "$work/in.mp4" -f rawvideo -pix_fmt bgr0 "$work/in.bgr0"

# Processor seconds (user + system) the command took, its output thrown away.
cpu() {
  local TIMEFORMAT='%U %S' t
  t=$( { time "$@" >/dev/null 2>/dev/null; } 2>&1 )
  awk -v t="$t" 'BEGIN { split(t, a, " "); print a[1] + a[2] }'
}
orv_raw() { cpu sh -c '"$1" --module "$2" denoise - - --size "$3" --threads 1 --quiet <"$4"' _ "$orv" "$module" "$size" "$work/in.bgr0"; }
ff_raw() { cpu ffmpeg -v error -threads 1 -filter_threads 1 -f rawvideo -pix_fmt yuv420p -s "$size" -i "$work/in.yuv" -vf hqdn3d -f rawvideo -; }
orv_y4m() { cpu "$orv" --module "$module" denoise "$work/in.y4m" "$work/orv.y4m" --threads 1 --quiet --force; }
ff_y4m() { cpu ffmpeg -v error -y -threads 1 -filter_threads 1 -i "$work/in.y4m" -vf hqdn3d "$work/ffmpeg.y4m"; }
orv_h264() { cpu "$orv" --module "$module" denoise "$work/in.mp4" "$work/orv.mkv" --codec ffv1 --threads 1 --quiet --force; }
ff_h264() { cpu ffmpeg -v error -y -threads 1 -filter_threads 1 -i "$work/in.mp4" -vf hqdn3d -c:v ffv1 "$work/ffmpeg.mkv"; }

declare -A t
for ((r = 0; r < rounds; ++r)); do
  # Each round in another order, so that neither side always runs first.
  if ((r % 2 == 0)); then order="orv ff"; else order="ff orv"; fi
  for kind in raw y4m h264; do
    for who in $order; do t[$who.$kind]+="$("${who}_$kind") "; done
  done
done
median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
load=$(cut -d' ' -f1-3 /proc/loadavg)
printf '\nEnd to end, %d frames of %s, one thread each, processor time of the whole command,\n' "$frames" "$size"
printf 'median of %d interleaved rounds; load average at the end %s on %s processors\n' "$rounds" "$load" "$(nproc)"
row() {
  local o f
  o=$(median "${t[orv.$1]}") f=$(median "${t[ff.$1]}")
  awk -v n="$frames" -v o="$o" -v f="$f" -v what="$2" -v peer="$3" -v goal="$4" 'BEGIN {
    printf "  %-34s orv %6.1f ms/frame  %-26s %6.1f ms/frame  %5.2fx", what, 1000 * o / n, peer, 1000 * f / n, o / f
    if (goal != "") printf "  goal <= %s: %s", goal, (o / f <= goal + 0 ? "met" : "missed")
    printf "\n"
  }'
}
row raw "raw 1080p frames (bgr0 pipe)" "hqdn3d on raw yuv420p" 0.60
row y4m "y4m to y4m" "ffmpeg -vf hqdn3d y4m" 0.80
row h264 "H.264 to FFV1" "ffmpeg -vf hqdn3d FFV1" ""
