#!/usr/bin/env bash
# usage: vapoursynth_bench.sh ORV_MODULE_TIME MODULE ORV_SYNTH_CLIP
#
# The VapourSynth plugin's part of `make bench`, on 1080p clips from
# orv_synth_clip (clean, and with luma noise of sigma 5 and 10):
# - in a venv with the newest vapoursynth and this checkout's wheel, the
#   plugin against the module's CPU route and on 2 threads against 1;
# - in a venv of its own with the newest vapoursynth, this checkout's wheel
#   and VapourSynth's denoisers from PyPI: the peers table on YUV clips. A
#   peer that doesn't install is a row that says so. (Core R79, the last to
#   load API 3 plugins such as bm3dcpu, can hang for good when a frame is
#   asked for on one thread, which the table needs.)
# ORV_VS_BENCH=yuv runs the peers table alone (=plugin the first part alone).
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

parts=${ORV_VS_BENCH:-plugin yuv}
newest=$root/build/vapoursynth-venv
if [[ " $parts " == *" plugin "* ]]; then
    orv_vs_venv "$newest" vapoursynth || exit 0
    "$newest/bin/pip" install --quiet numpy || exit 0
    "$newest/bin/python" "$root/bench/vapoursynth_bench.py" plugin --work "$work" --module-time "$module_time" \
        --module "$module"
fi
[[ " $parts " == *" yuv "* ]] || exit 0

peers=$root/build/vapoursynth-bench-venv
orv_vs_venv "$peers" vapoursynth || exit 0
"$peers/bin/pip" install --quiet numpy || exit 0
# FluxSmooth, DegrainMedian and TemporalMedian are zsmooth's, MDegrain is
# MVTools'; std.Median is the core's own.
for peer in vapoursynth-zsmooth vapoursynth-mvtools vapoursynth-bm3d "vapoursynth-dfttest2-cpu dfttest2" \
            vapoursynth-nlm-ispc; do
    # shellcheck disable=SC2086
    "$peers/bin/pip" install --quiet $peer || echo "-- $peer did not install: its rows read not installed"
done
"$peers/bin/python" "$root/bench/vapoursynth_bench.py" yuv --work "$work"
