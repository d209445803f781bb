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

# Prints the wall seconds and the processor seconds (user + system) the command took.
wall() {
  local TIMEFORMAT='%R %U %S' t
  t=$( { time "$@" >/dev/null 2>/dev/null; } 2>&1 )
  awk -v t="$t" 'BEGIN { split(t, a, " "); print a[1], a[2] + a[3] }'
}
# Alternated, best of two each: on a shared machine the load drifts between
# runs. Processor time shows what each costs whatever the load.
best() { awk -v a="$1" -v b="$2" -v i="$3" 'BEGIN { split(a, x, " "); split(b, y, " "); print (x[i] < y[i] ? x[i] : y[i]) }'; }
orv_run() { wall "$orv" --module "$module" denoise "$work/in.mp4" "$work/orv.mkv" --codec ffv1 --quiet --force; }
ff_run() { wall ffmpeg -v error -y -i "$work/in.mp4" -vf hqdn3d -c:v ffv1 "$work/ffmpeg.mkv"; }
o1=$(orv_run); f1=$(ff_run); f2=$(ff_run); o2=$(orv_run)
awk -v n="$frames" -v o="$(best "$o1" "$o2" 1)" -v f="$(best "$f1" "$f2" 1)" \
    -v oc="$(best "$o1" "$o2" 2)" -v fc="$(best "$f1" "$f2" 2)" 'BEGIN {
  printf "\nEnd to end, %d frames of 1920x1080 H.264 to FFV1 (same run; wall, processor):\n", n
  printf "  orv denoise           %7.2f s  %6.1f fps  %7.2f s cpu\n", o, n / o, oc
  printf "  ffmpeg -vf hqdn3d     %7.2f s  %6.1f fps  %7.2f s cpu\n", f, n / f, fc
  printf "  orv / ffmpeg          %7.2fx wall (goal: 1.00x or less)  %5.2fx cpu\n", o / f, oc / fc
}'
