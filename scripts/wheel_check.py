"""The installed wheel, as a user's script meets it: the core finds orv by
itself in its own package, and the plugin filters a YUV clip's luma as the
filter is defined (the plugin tests' reference, in Python's integers).

usage: python wheel_check.py DIR_WITH_CLIPS_PY   (make wheel runs it)
"""
import os
import sys

import vapoursynth as vs

sys.path.insert(0, sys.argv[1])
from clips import luma_reference, noisy_clip, plane_samples  # noqa: E402

core = vs.core
site = os.path.dirname(vs.__file__)
path = core.orv.plugin_path
if not os.path.realpath(path).startswith(os.path.realpath(site)):
    sys.exit(f"wheel_check: orv was loaded from {path}, not from the installed wheel under {site}")

w, h = 64, 36
rgb = noisy_clip(core, w, h, length=1, seed=5)
for fmt, args in ((vs.YUV420P8, {}), (vs.YUV420P10, dict(f1=100, f2=100, sharp=0))):
    src = core.resize.Bicubic(rgb, format=fmt, matrix_s="709")
    inp, out = src.get_frame(0), core.orv.Denoise(src, **args).get_frame(0)
    y, bits = plane_samples(inp, 0), inp.format.bits_per_sample
    got = plane_samples(out, 0)
    if got != luma_reference(y, w, h, bits, **args) or got == y:
        sys.exit(f"wheel_check: {inp.format.name} {args}: the installed plugin's luma is not the filter's")
    if any(out[p].tobytes() != inp[p].tobytes() for p in (1, 2)):
        sys.exit(f"wheel_check: {inp.format.name}: the chroma planes changed")
version = next(line.strip() for line in str(core).splitlines() if "Core R" in line)
print(f"-- wheel check passed: orv.Denoise from {path} ({version}), YUV420P8 and YUV420P10 as defined")
