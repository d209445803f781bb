"""Test clips made in the core itself, and frames as the module's XRGB bytes."""
import array
import ctypes
import random

import os

import vapoursynth as vs

# A plugin built apart (the asan preset's) in a venv without the wheel: every
# process that imports the clips, vspipe's too, loads it.
if os.environ.get("ORV_PLUGIN_PATH") and not hasattr(vs.core, "orv"):
    vs.core.std.LoadPlugin(os.environ["ORV_PLUGIN_PATH"])


def _fill(frame, n, seed, amp=None):
    # Gradients and edges under noise: the filter takes every decision
    # somewhere. With `amp`, flat blocks whose edges miss the noise
    # profile's grid of 8, under noise of +-amp: the profile measures it.
    w, h = frame.width, frame.height
    noise = random.Random(seed * 7919 + n).randbytes(w * h)
    for p in range(3):
        if amp is None:
            plane = bytes(min(255, max(0, (x * (p + 3) + y * 5 + n * 11) % 200 + (60 if (x // 7 + y // 5) % 2 else 0)
                                      + noise[y * w + x] % 25 - 12)) for y in range(h) for x in range(w))
        else:
            plane = bytes(min(255, max(0, 80 + (60 if ((x + 4) // 16 + (y + 4) // 16) % 2 else 0) + 3 * n % 40 + 20 * p
                                      + noise[y * w + x] % (2 * amp + 1) - amp)) for y in range(h) for x in range(w))
        ptr, stride = frame.get_write_ptr(p).value, frame.get_stride(p)
        for y in range(h):
            ctypes.memmove(ptr + y * stride, plane[y * w:(y + 1) * w], w)


def noisy_clip(core, w, h, length=3, seed=1, scenes=False):
    """RGB24 frames of w x h, the same for the same arguments in any process.
    They are made here, before any is asked for, so that asking costs nothing
    and frames downstream are filtered at the same time. With `scenes` the
    noise comes and goes in runs of frames (none, some, too much to find
    flat samples), so that a noise estimate carried across frames sets
    different strengths from frame to frame."""
    blank = core.std.BlankClip(format=vs.RGB24, width=w, height=h, length=length)
    frames = []
    for n in range(length):
        f = blank.get_frame(n).copy()
        _fill(f, n, seed, (6, 6, 6, 0, 0, 20, 20, 2, 2, 2, 2)[n % 11] if scenes else None)
        frames.append(f)
    return core.std.ModifyFrame(blank, blank, lambda n, f: frames[n])


def xrgb_bytes(frame):
    """One frame as the module's words: blue, green, red, then a zero byte."""
    w, h = frame.width, frame.height
    out = bytearray(w * h * 4)
    for plane, offset in ((2, 0), (1, 1), (0, 2)):
        out[offset::4] = frame[plane].tobytes()
    return bytes(out)


def clip_bytes(clip):
    return [xrgb_bytes(f) for f in clip.frames()]


def plane_samples(frame, p):
    """Plane p's samples, bytes or 16-bit words, row after row."""
    data = frame[p].tobytes()
    if frame.format.bytes_per_sample == 1:
        return list(data)
    words = array.array("H")
    words.frombytes(data)
    return list(words)


K1 = (5041, 4464, 2864, 608, -1788, -3773, -4895)
K2 = (5041, 2864, -1788, -4895, -3773, 608, 4464)
SIGNS1, SIGNS2 = (1, 1, 1, -1, -1, -1), (1, -1, -1, -1, 1, 1)


def luma_reference(y, w, h, bits, f1=70, f2=70, sharp=2, interlace=0, show_noise=0):
    """The filter on a plane of samples as defined, in Python's integers
    (floors, no bound): thresholds on the samples' scale, Y - S clamped, or the
    change shown around 127 * 2^(bits-8)."""
    m, top, step = 1 << (bits - 8), (1 << bits) - 1, 2 if interlace else 1
    responses = ((K1, SIGNS1, 10 * f1 * m, 333 * f1 // 1000), (K2, SIGNS2, 10 * f2 * m, 333 * f2 // 1000))
    out = []
    for j in range(h):
        for i in range(w):
            c = y[j * w + i]

            def at(r, col):
                return y[r * w + col] if 0 <= r < h and 0 <= col < w else c
            total = 0
            for dr, dc in ((0, -1), (-step, 0), (-step, -1), (-step, 1)):
                P = [at(j + dr * d, i + dc * d) + at(j - dr * d, i - dc * d) for d in range(1, 7)]
                for K, signs, a, k in responses:
                    R = K[0] * c + sum(K[d + 1] * P[d] for d in range(6))
                    E = abs(sum(s * p for s, p in zip(signs, P)))
                    total += (-(sharp * R)) >> 5 if 10 * abs(R) > (a - k * E) * 2000 else R
            o = min(max(c - (total >> 16), 0), top)
            out.append(127 * m + min(max(5 * (c - o), -127 * m), 128 * m) if show_noise else o)
    return out
