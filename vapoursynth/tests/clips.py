"""Test clips made in the core itself, and frames as the module's XRGB bytes."""
import ctypes
import random

import vapoursynth as vs


def _fill(frame, n, seed):
    # Gradients and edges under noise: the filter takes every decision somewhere.
    w, h = frame.width, frame.height
    noise = random.Random(seed * 7919 + n).randbytes(w * h)
    for p in range(3):
        plane = bytes(min(255, max(0, (x * (p + 3) + y * 5 + n * 11) % 200 + (60 if (x // 7 + y // 5) % 2 else 0)
                                  + noise[y * w + x] % 25 - 12)) for y in range(h) for x in range(w))
        ptr, stride = frame.get_write_ptr(p).value, frame.get_stride(p)
        for y in range(h):
            ctypes.memmove(ptr + y * stride, plane[y * w:(y + 1) * w], w)


def noisy_clip(core, w, h, length=3, seed=1):
    """RGB24 frames of w x h, the same for the same arguments in any process.
    They are made here, before any is asked for, so that asking costs nothing
    and frames downstream are filtered at the same time."""
    blank = core.std.BlankClip(format=vs.RGB24, width=w, height=h, length=length)
    frames = []
    for n in range(length):
        f = blank.get_frame(n).copy()
        _fill(f, n, seed)
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
