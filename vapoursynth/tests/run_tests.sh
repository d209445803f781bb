#!/usr/bin/env bash
# The plugin as a VapourSynth user gets it: `pip install .` builds the wheel,
# which goes into a venv of its own beside the newest vapoursynth from PyPI;
# then the tests run there, from Python and through vspipe, against orv
# (build/native/orv, or ORV_BIN) for the module's own bytes.
#
# VapourSynth's wheels need Python 3.12 or newer: ORV_PYTHON, else the first
# such python on PATH or among pyenv's. Without one the tests are skipped,
# and a line says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
venv=$root/build/vapoursynth-venv
orv_bin=${ORV_BIN:-$root/build/native/orv}

new_enough() { [ -n "$1" ] && "$1" -c 'import sys; sys.exit(sys.version_info < (3, 12))' 2>/dev/null; }

find_python() {
    local pyenv_root=${PYENV_ROOT:-$HOME/.pyenv}
    command -v pyenv >/dev/null 2>&1 && pyenv_root=$(pyenv root)
    local c
    for c in "${ORV_PYTHON:-}" $(command -v python3.13 python3.12 python3 2>/dev/null) \
             $(ls -d "$pyenv_root"/versions/3.1[2-9]*/bin/python3 2>/dev/null | sort -rV); do
        if new_enough "$c"; then echo "$c"; return 0; fi
    done
    return 1
}

if [ ! -x "$orv_bin" ]; then
    echo "run_tests.sh: $orv_bin is missing: build the native preset first (make native)" >&2
    exit 1
fi
if ! new_enough "$venv/bin/python"; then
    if ! python=$(find_python); then
        echo "SKIPPED: the VapourSynth plugin's tests need Python 3.12 or newer (VapourSynth's wheels do);" \
             "none found on PATH or in pyenv. Install one (e.g. pyenv install 3.12) or set ORV_PYTHON."
        exit 0
    fi
    rm -rf "$venv"
    "$python" -m venv "$venv"
fi

echo "-- the newest vapoursynth from PyPI, then the plugin's wheel from this checkout"
"$venv/bin/pip" install --quiet vapoursynth
"$venv/bin/pip" install --quiet --force-reinstall --no-deps "$root"
"$venv/bin/python" -c 'import vapoursynth as vs; print("--", next(l.strip() for l in str(vs.core).splitlines() if "Core R" in l),
                                                 "with orv.Denoise from", vs.core.orv.plugin_path)'

cd "$root/vapoursynth/tests"
# No GPU is usable, so every frame takes the CPU route whatever the machine
# has; the GPU route's check runs on the fake driver the native preset builds.
# A fault between threads may hang rather than fail: ten minutes is far beyond a pass.
CUDA_VISIBLE_DEVICES= ORV_BIN=$orv_bin ORV_FAKE_CUDA=$(dirname "$orv_bin")/fake-cuda PATH="$venv/bin:$PATH" timeout 600 "$venv/bin/python" -m unittest -v
