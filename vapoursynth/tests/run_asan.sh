#!/usr/bin/env bash
# The plugin's tests on the asan preset's build of it:
#   run_asan.sh PLUGIN ORV FAKE_CUDA_DIR
# Python is not built with the sanitizer, so its runtime is preloaded; the
# core comes from PyPI into a venv without the wheel, and every test process
# loads PLUGIN itself (clips.py). Python's own allocations live until exit by
# design, so leaks are not looked for here: Memory's test counts the core's
# frames and nodes instead. Without a Python new enough it skips, as
# run_tests.sh does.
set -euo pipefail
plugin=$1 orv_bin=$2 fake=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
venv=${ORV_VS_ASAN_VENV:-$root/build/vapoursynth-asan-venv}
source "$root/vapoursynth/venv.sh"

if ! orv_vs_new_enough "$venv/bin/python"; then
    if ! python=$(orv_vs_find_python); then
        echo "SKIPPED: no Python 3.12 or newer for VapourSynth; the plugin's sanitized run did not happen"
        [ -z "${CI:-}" ] || exit 1
        exit 0
    fi
    rm -rf "$venv"
    "$python" -m venv "$venv"
fi
"$venv/bin/pip" install --quiet vapoursynth
# A wheel left there by hand would load the other build first.
"$venv/bin/pip" uninstall --quiet --yes vapoursynth-orv 2>/dev/null || true

runtime() { gcc -print-file-name="$1"; }
cd "$root/vapoursynth/tests"
CUDA_VISIBLE_DEVICES= ORV_UNDER_ASAN=1 ORV_PLUGIN_PATH=$plugin ORV_BIN=$orv_bin ORV_FAKE_CUDA=$fake PATH="$venv/bin:$PATH" \
    LD_PRELOAD="$(runtime libasan.so):$(runtime libubsan.so)" \
    ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    timeout 900 "$venv/bin/python" -m unittest -v
