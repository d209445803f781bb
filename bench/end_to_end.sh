#!/usr/bin/env bash
# The end-to-end row of the benchmark: orv against ffmpeg's hqdn3d on the same
# 1080p clip, both writing FFV1, wall time of each in the same run (best of two).
#   end_to_end.sh ORV MODULE [FRAMES]
set -euo pipefail
orv=$1 module=$2 frames=${3:-120}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Noisy 1080p material in the shape most inputs come in: H.264, yuv420p, BT.709.
ffmpeg -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=25,noise=alls=8:allf=t" -frames:v "$frames" \
  -c:v libx264 -preset ultrafast -crf 18 -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 \
  -color_trc bt709 "$work/in.mp4"

wall() {  # prints the seconds the command took
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'
}
# Alternated, best of two each: on a shared machine the load drifts between runs.
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b ? a : b) }'; }
orv_run() { wall "$orv" --module "$module" denoise "$work/in.mp4" "$work/orv.mkv" --codec ffv1 --quiet --force; }
ff_run() { wall ffmpeg -v error -y -i "$work/in.mp4" -vf hqdn3d -c:v ffv1 "$work/ffmpeg.mkv"; }
o1=$(orv_run); f1=$(ff_run); f2=$(ff_run); o2=$(orv_run)
t_orv=$(best "$o1" "$o2")
t_ff=$(best "$f1" "$f2")
awk -v n="$frames" -v o="$t_orv" -v f="$t_ff" 'BEGIN {
  printf "\nEnd to end, %d frames of 1920x1080 H.264 to FFV1 (wall time, same run):\n", n
  printf "  orv denoise           %7.2f s  %6.1f fps\n", o, n / o
  printf "  ffmpeg -vf hqdn3d     %7.2f s  %6.1f fps\n", f, n / f
  printf "  orv / ffmpeg          %7.2fx (goal: 1.00x or less)\n", o / f
}'
