"""orv.Denoise in the real core: what it refuses, the same frames for any
threads and order, and the module's own bytes on the CPU route.

Run with CUDA_VISIBLE_DEVICES empty (run_tests.sh does), so that no GPU is
usable and every frame takes the CPU route, but for the GPU route's check on
the fake driver (ORV_FAKE_CUDA); ORV_BIN names the built orv.
"""
import os
import random
import subprocess
import sys
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

    def test_gpu_route_on_the_fake_driver(self):
        # The GPU route carries its noise estimate from frame to frame: frames
        # asked for in order on one thread give orv's bytes, where the module
        # also has one instance and takes frames in order.
        fake = os.environ.get("ORV_FAKE_CUDA", "")
        if not os.path.exists(os.path.join(fake, "libcuda.so.1")):
            self.skipTest("no fake NVIDIA driver built (ORV_FAKE_CUDA)")
        env = {k: v for k, v in os.environ.items() if k != "CUDA_VISIBLE_DEVICES"}
        env.update(LD_LIBRARY_PATH=fake, PYTHONPATH=os.path.dirname(os.path.abspath(__file__)))
        script = ("import sys, vapoursynth as vs\n"
                  "from clips import noisy_clip, xrgb_bytes\n"
                  "vs.core.num_threads = 1\n"
                  "c = vs.core.orv.Denoise(noisy_clip(vs.core, 40, 30, 4, seed=4), route=sys.argv[1])\n"
                  "sys.stdout.buffer.write(b''.join(xrgb_bytes(c.get_frame(n)) for n in range(c.num_frames)))\n")
        source = b"".join(clip_bytes(noisy_clip(core, 40, 30, 4, seed=4)))
        module = subprocess.run([os.environ["ORV_BIN"], "denoise", "-", "-", "--size", "40x30", "--quiet"],
                                input=source, env=env, capture_output=True, timeout=60, check=True).stdout
        if module == b"".join(clip_bytes(core.orv.Denoise(noisy_clip(core, 40, 30, 4, seed=4)))):
            self.skipTest("the module took the CPU route: built without GPU code (no nvcc)")
        for route in ("gpu", "auto"):
            with self.subTest(route=route):
                ran = subprocess.run([sys.executable, "-c", script, route], env=env, capture_output=True,
                                     timeout=60, check=True)
                self.assertEqual(ran.stdout, module)


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
