#!/usr/bin/env bash
# The plugin as a VapourSynth user gets it: `pip install .` builds the wheel,
# which goes into a venv of its own beside the newest vapoursynth from PyPI;
# then the tests run there, from Python and through vspipe, against orv
# (build/native/orv, or ORV_BIN) for the module's own bytes; then README's
# newcomer path (newcomer.sh). Without a Python
# new enough for VapourSynth the tests are skipped, and a line says so; under
# CI (CI set) that fails instead. ORV_VS_VENV names another venv.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
venv=${ORV_VS_VENV:-$root/build/vapoursynth-venv}
orv_bin=${ORV_BIN:-$root/build/native/orv}
source "$root/vapoursynth/venv.sh"

if [ ! -x "$orv_bin" ]; then
    echo "run_tests.sh: $orv_bin is missing: build the native preset first (make native)" >&2
    exit 1
fi
rc=0
orv_vs_venv "$venv" vapoursynth || rc=$?
[ "$rc" = 3 ] && exit 0
[ "$rc" = 0 ] || exit "$rc"

cd "$root/vapoursynth/tests"
# No GPU is usable, so every frame takes the CPU route whatever the machine
# has; the GPU route's check runs on the fake driver the native preset builds.
# A fault between threads may hang rather than fail: ten minutes is far beyond a pass.
CUDA_VISIBLE_DEVICES= ORV_BIN=$orv_bin ORV_FAKE_CUDA=$(dirname "$orv_bin")/fake-cuda PATH="$venv/bin:$PATH" \
    timeout 600 "$venv/bin/python" -m unittest -v
cd "$root"

# The wheel as it ships: repaired to manylinux_2_28 by auditwheel (which
# refuses a symbol newer than glibc 2.28 or a library outside that set) and
# run from a fresh venv; about 20 s with pip's cache. ORV_SKIP_WHEEL=1 leaves it out.
[ "${ORV_SKIP_WHEEL:-}" = 1 ] || bash "$root/scripts/wheel.sh"

# README's path from a fresh clone to an encode; pip's cache (and ccache,
# where the build has it) keeps it to seconds after the first run. make
# mutate leaves it out: it tests the README, not the lines it mutates.
[ "${ORV_SKIP_NEWCOMER:-}" = 1 ] || bash "$root/vapoursynth/tests/newcomer.sh"
