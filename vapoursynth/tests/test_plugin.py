"""orv.Denoise in the real core: what it refuses, the same frames for any
threads and order, and the module's own bytes on the CPU route.

Run with CUDA_VISIBLE_DEVICES empty (run_tests.sh does), so that no GPU is
usable and every frame takes the CPU route; ORV_BIN names the built orv.
"""
import os
import random
import subprocess
import unittest

import vapoursynth as vs

from clips import clip_bytes, noisy_clip, xrgb_bytes

core = vs.core


class Refused(unittest.TestCase):
    def test_formats_and_values(self):
        rgb = noisy_clip(core, 16, 8, length=1)
        mixed = core.std.Splice([rgb, core.std.BlankClip(rgb, format=vs.YUV444P8)], mismatch=True)
        convert = 'core.resize.Bicubic(clip, format=vs.RGB24, matrix_in_s="709")'
        rows = [
            (dict(clip=core.std.BlankClip(format=vs.YUV420P8)), "YUV420P8"),
            (dict(clip=core.std.BlankClip(format=vs.RGB48)), "RGB48"),
            (dict(clip=core.std.BlankClip(format=vs.RGBS)), "RGBS"),
            (dict(clip=core.std.BlankClip(format=vs.GRAY8)), "Gray8"),
            (dict(clip=mixed), "varies"),
            (dict(clip=rgb, f1=2**31), "f1 is 2147483648"),
            (dict(clip=rgb, sharp=-2**31 - 1), "sharp is -2147483649"),
            (dict(clip=rgb, route="tpu"), 'route is "tpu"'),
            (dict(clip=rgb, route="gpu"), "no usable GPU"),
        ]
        for args, says in rows:
            with self.subTest(says=says), self.assertRaises(vs.Error) as caught:
                core.orv.Denoise(**args)
            line = str(caught.exception)
            self.assertIn(says, line)
            self.assertNotIn("\n", line)
            if args["clip"].format is None or args["clip"].format.id != vs.RGB24:
                self.assertIn(convert, line)


class ThreadsAndOrders(unittest.TestCase):
    def frames_in(self, clip, threads, order):
        core.num_threads = threads
        try:
            if order == "concurrent":
                pending = [clip.get_frame_async(n) for n in range(clip.num_frames)]
                return [xrgb_bytes(p.result()) for p in pending]
            numbers = list(range(clip.num_frames))
            if order == "reversed":
                numbers.reverse()
            elif order == "shuffled":
                random.Random(5).shuffle(numbers)
            got = {n: xrgb_bytes(clip.get_frame(n)) for n in numbers}
            return [got[n] for n in range(clip.num_frames)]
        finally:
            core.num_threads = os.cpu_count() or 1

    def test_same_frames_for_any_threads_and_order(self):
        # Frames large enough that threads overlap, and a change of size.
        source = core.std.Splice([noisy_clip(core, 480, 360, 10, seed=2), noisy_clip(core, 23, 17, 3, seed=3)],
                                 mismatch=True)
        source = core.std.SetFrameProps(source, _FieldBased=2, Marker=7)
        want = clip_bytes(core.orv.Denoise(source, f1=90, sharp=4))
        for threads in (1, 2, 4):
            for order in ("forward", "reversed", "shuffled", "concurrent"):
                with self.subTest(threads=threads, order=order):
                    # A node of its own each time: no frame comes from another's cache.
                    clip = core.orv.Denoise(source, f1=90, sharp=4)
                    self.assertEqual(self.frames_in(clip, threads, order), want)
        # The field-based source took interlace=1; its properties came through.
        self.assertEqual(want, clip_bytes(core.orv.Denoise(source, f1=90, sharp=4, interlace=1)))
        self.assertNotEqual(want, clip_bytes(core.orv.Denoise(source, f1=90, sharp=4, interlace=0)))
        props = core.orv.Denoise(source).get_frame(11).props
        self.assertEqual((props["_FieldBased"], props["Marker"]), (2, 7))


class SameBytesAsTheModule(unittest.TestCase):
    """Every row through the plugin and through orv (the module's two entries), raw XRGB in and out."""

    def test_cpu_route(self):
        rows = [
            # width, height, plugin arguments, orv's arguments
            (37, 23, {}, ["--config", "Config(70,70,2,0,1)"]),
            (64, 48, dict(f1=100, f2=100, sharp=0), ["--config", "Config(100,100,0,0,1)"]),
            (31, 40, dict(f1=-5, f2=300, sharp=9, interlace=2), ["--config", "Config(-5,300,9,2,1)"]),
            (33, 21, dict(show_noise=1, auto_profile=0), ["--show-noise", "--no-auto-profile"]),
            (20, 14, dict(disable=1), ["--disable"]),
            (1, 1, {}, []),
            (1, 19, dict(interlace=1), ["--interlace"]),
        ]
        for w, h, args, orv_args in rows:
            with self.subTest(size=(w, h), args=args):
                source = noisy_clip(core, w, h, seed=w * h)
                mine = b"".join(clip_bytes(core.orv.Denoise(source, **args)))
                ran = subprocess.run([os.environ["ORV_BIN"], "denoise", "-", "-", "--size", f"{w}x{h}", "--quiet",
                                      *orv_args], input=b"".join(clip_bytes(source)), capture_output=True,
                                     timeout=60, check=True)
                self.assertEqual(mine, ran.stdout)


class Vspipe(unittest.TestCase):
    def test_vspipe_gives_the_same_frames(self):
        script = os.path.join(os.path.dirname(__file__), "denoise_script.vpy")
        ran = subprocess.run(["vspipe", script, "-"], capture_output=True, timeout=120, check=True)
        clip = core.orv.Denoise(noisy_clip(core, 45, 27, 5, seed=9), f1=80)
        # vspipe writes RGB's planes as G, B, R (FFmpeg's gbrp).
        planar = b"".join(f[p].tobytes() for f in clip.frames() for p in (1, 2, 0))
        self.assertEqual(ran.stdout, planar)


if __name__ == "__main__":
    unittest.main()
