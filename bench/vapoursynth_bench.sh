#!/usr/bin/env bash
# usage: vapoursynth_bench.sh ORV_MODULE_TIME MODULE ORV_SYNTH_CLIP
#
# The VapourSynth plugin's part of `make bench`, on 1080p clips from
# orv_synth_clip (clean, and with luma noise of sigma 5 and 10):
# - in a venv with the newest vapoursynth and this checkout's wheel, the
#   plugin against the module's CPU route and on 2 threads against 1;
# - in a venv with vapoursynth==79, the newest core that still loads API 3
#   plugins, the plugin beside VapourSynth's denoisers from PyPI. A peer that
#   doesn't install is a row that says so.
# Without a Python new enough for VapourSynth a line says so and nothing fails.
set -uo pipefail
module_time=$1 module=$2 synth=$3
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(dirname "$module")/bench-vapoursynth
source "$root/vapoursynth/venv.sh"
# numpy's BLAS threads would spin beside the timed ones.
export OPENBLAS_NUM_THREADS=1 CUDA_VISIBLE_DEVICES=

echo "== The VapourSynth plugin"
mkdir -p "$work"
if [ ! -s "$work/noisy10.raw" ]; then
    "$synth" make 1920 1080 8 5 "$work/clean.raw" "$work/noisy5.raw" &&
    "$synth" make 1920 1080 8 10 "$work/clean.raw" "$work/noisy10.raw" || exit 1
fi

newest=$root/build/vapoursynth-venv
orv_vs_venv "$newest" vapoursynth || exit 0
"$newest/bin/pip" install --quiet numpy || exit 0
"$newest/bin/python" "$root/bench/vapoursynth_bench.py" plugin --work "$work" --module-time "$module_time" \
    --module "$module"

r79=$root/build/vapoursynth-r79-venv
orv_vs_venv "$r79" "vapoursynth==79" || exit 0
"$r79/bin/pip" install --quiet numpy || exit 0
for peer in vapoursynth-bm3dcpu "vapoursynth-dfttest2-cpu dfttest2" vapoursynth-zsmooth vapoursynth-nlm-ispc==3; do
    # shellcheck disable=SC2086
    "$r79/bin/pip" install --quiet $peer || echo "-- $peer did not install: its row reads unavailable"
done
"$r79/bin/python" "$root/bench/vapoursynth_bench.py" peers --work "$work"
"$r79/bin/python" "$root/bench/vapoursynth_bench.py" yuv --work "$work"
