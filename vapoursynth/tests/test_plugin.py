"""orv.Denoise in the real core: what it refuses, the same frames for any
threads and order, and the module's own bytes on the CPU route.

Run with CUDA_VISIBLE_DEVICES empty (run_tests.sh does), so that no GPU is
usable and every frame takes the CPU route, but for the GPU route's check on
the fake driver (ORV_FAKE_CUDA); ORV_BIN names the built orv.
"""
import json
import os
import random
import re
import subprocess
import sys
import unittest

import vapoursynth as vs

from clips import clip_bytes, luma_reference, noisy_clip, plane_samples, xrgb_bytes

core = vs.core
HERE = os.path.dirname(os.path.abspath(__file__))


class FramesCase(unittest.TestCase):
    def assertSameBytes(self, got, want):
        """Frames (bytes, or a list of them) compared whole; on a difference
        only where it starts, since unittest's diff of megabytes takes minutes."""
        if got == want:
            return
        what = "frame {} differs"
        if not isinstance(want, list):
            got, want, what = [got], [want], "the bytes differ"
        if len(got) != len(want):
            self.fail(f"{len(got)} frames, {len(want)} wanted")
        n = next(n for n in range(len(want)) if got[n] != want[n])
        a, b = got[n], want[n]
        at = next((i for i in range(min(len(a), len(b))) if a[i] != b[i]), min(len(a), len(b)))
        self.fail(what.format(n) + f" first at byte {at} of {len(b)}: "
                  f"{a[at] if at < len(a) else 'the end'}, {b[at] if at < len(b) else 'the end'} wanted")


def run_orv(source, w, h, args, env=None):
    """The module's bytes through orv, raw XRGB in and out."""
    return subprocess.run([os.environ["ORV_BIN"], "denoise", "-", "-", "--size", f"{w}x{h}", "--quiet", *args],
                          input=source, env=env, capture_output=True, timeout=120, check=True).stdout


def run_plugin(env, w, h, length, seed, args, asks=((1, "forward"),), scenes=False):
    """The plugin's frames of noisy_clip in a process of its own, for what is
    read once per process (the driver, ORV_KERNEL_SET, FAKE_CUDA_FAIL): by
    default in order on one thread, as orv's one GPU instance takes them.
    Each (threads, order) of `asks` is a node of its own whose frames are all
    asked for at once in that order, and gives the clip in frame order."""
    script = ("import json, random, sys, vapoursynth as vs\n"
              "from clips import noisy_clip, xrgb_bytes\n"
              "w, h, length, seed, args, asks, scenes = json.loads(sys.argv[1])\n"
              "src = noisy_clip(vs.core, w, h, length, seed=seed, scenes=scenes)\n"
              "for threads, order in asks:\n"
              "    vs.core.num_threads = threads\n"
              "    c = vs.core.orv.Denoise(src, **args)\n"
              "    numbers = list(range(length))\n"
              "    if order == 'reversed': numbers.reverse()\n"
              "    if order == 'shuffled': random.Random(threads).shuffle(numbers)\n"
              "    if order == 'forward' and threads == 1:\n"
              "        got = {n: xrgb_bytes(c.get_frame(n)) for n in numbers}\n"
              "    else:\n"
              "        pending = {n: c.get_frame_async(n) for n in numbers}\n"
              "        got = {n: xrgb_bytes(p.result()) for n, p in pending.items()}\n"
              "    sys.stdout.buffer.write(b''.join(got[n] for n in range(length)))\n")
    ran = subprocess.run([sys.executable, "-c", script, json.dumps([w, h, length, seed, args, asks, scenes])],
                         env=dict(env, PYTHONPATH=HERE), capture_output=True, timeout=120)
    if ran.returncode != 0:
        raise AssertionError(f"the plugin's process failed: {ran.stderr.decode(errors='replace').strip()[-600:]}")
    return ran.stdout


class Refused(unittest.TestCase):
    def test_formats_and_values(self):
        rgb = noisy_clip(core, 16, 8, length=1)
        yuv = core.std.SetFrameProps(core.std.BlankClip(rgb, format=vs.YUV444P8), _Matrix=5)
        mixed = core.std.Splice([rgb, yuv], mismatch=True)
        rows = [
            (dict(clip=core.std.BlankClip(format=vs.YUV444PS)), "YUV444PS"),
            (dict(clip=core.std.BlankClip(format=vs.YUV420PH)), "YUV420PH"),
            (dict(clip=core.std.BlankClip(format=vs.GRAYS)), "GrayS"),
            (dict(clip=core.std.BlankClip(format=vs.RGB48)), "RGB48"),
            (dict(clip=core.std.BlankClip(format=vs.RGBS)), "RGBS"),
            (dict(clip=mixed), "varies"),
            (dict(clip=yuv, f1=101), "f1 is 101; on GRAY and YUV clips it takes 0..100"),
            (dict(clip=yuv, f2=-1), "f2 is -1"),
            (dict(clip=yuv, sharp=7), "sharp is 7; on GRAY and YUV clips it takes 0..6"),
            (dict(clip=yuv, route="gpu"), "GRAY and YUV clips take the CPU route"),
            (dict(clip=rgb, f1=2**31), "f1 is 2147483648"),
            (dict(clip=rgb, sharp=-2**31 - 1), "sharp is -2147483649"),
            (dict(clip=rgb, auto_profile=2**31), "auto_profile is 2147483648"),
            (dict(clip=rgb, route="tpu"), 'route is "tpu"'),
            (dict(clip=rgb, route="gpu"), "no usable GPU"),
        ]
        for args, says in rows:
            with self.subTest(says=says), self.assertRaises(vs.Error) as caught:
                core.orv.Denoise(**args)
            line = str(caught.exception)
            self.assertIn(says, line)
            self.assertNotIn("\n", line)
            clip = args["clip"]
            if clip.format is None or clip.format.id not in (vs.RGB24, vs.YUV444P8):
                self.assert_suggestion_works(clip, line)

    def assert_suggestion_works(self, clip, line):
        # The calls the line suggests, run as written (with a matrix where it
        # asks for the clip's own), must give frames the filter takes, and a
        # way back, where one is given, the clip's own format.
        self.assertIn("takes RGB24, and GRAY and YUV of 8 to 16 bits in integers", line)
        calls = [c.replace("=M)", '="709")') for c in re.findall(r"core\.resize\.\w+\((?:clip|out), [^()]*\)", line)]
        self.assertTrue(calls, line)
        out = core.orv.Denoise(eval(calls[0], dict(core=core, vs=vs, clip=clip)))
        for n in range(min(out.num_frames, 2)):
            out.get_frame(n)
        if len(calls) > 1:
            back = eval(calls[1], dict(core=core, vs=vs, out=out))
            self.assertEqual(back.format.id, clip.format.id)
            back.get_frame(0)


def all_planes(frame):
    return b"".join(frame[p].tobytes() for p in range(frame.format.num_planes))


class ThreadsAndOrders(FramesCase):
    def frames_in(self, clip, threads, order):
        core.num_threads = threads
        try:
            if order == "concurrent":
                pending = [clip.get_frame_async(n) for n in range(clip.num_frames)]
                return [all_planes(p.result()) for p in pending]
            numbers = list(range(clip.num_frames))
            if order == "reversed":
                numbers.reverse()
            elif order == "shuffled":
                random.Random(5).shuffle(numbers)
            got = {n: all_planes(clip.get_frame(n)) for n in numbers}
            return [got[n] for n in range(clip.num_frames)]
        finally:
            core.num_threads = os.cpu_count() or 1

    def test_same_frames_for_any_threads_and_order(self):
        # Frames large enough that threads overlap, and a change of size.
        source = core.std.Splice([noisy_clip(core, 480, 360, 10, seed=2), noisy_clip(core, 23, 17, 3, seed=3)],
                                 mismatch=True)
        # Converted before the fields are marked: zimg's field-based resize of
        # odd heights is not the same twice.
        yuv = core.std.SetFrameProps(core.resize.Bicubic(source, format=vs.YUV444P10, matrix_s="709"), _FieldBased=2)
        source = core.std.SetFrameProps(source, _FieldBased=2, Marker=7)
        want = clip_bytes(core.orv.Denoise(source, f1=90, sharp=4))
        for src in (source, yuv):
            wanted = [all_planes(f) for f in core.orv.Denoise(src, f1=90, sharp=4).frames()]
            for threads in (1, 2, 4):
                for order in ("forward", "reversed", "shuffled", "concurrent"):
                    with self.subTest(format=src.format.name, threads=threads, order=order):
                        # A node of its own each time: no frame comes from another's cache.
                        clip = core.orv.Denoise(src, f1=90, sharp=4)
                        self.assertSameBytes(self.frames_in(clip, threads, order), wanted)
        # The field-based source took interlace=1, as it does with the top
        # field first; its properties came through.
        self.assertSameBytes(clip_bytes(core.orv.Denoise(source, f1=90, sharp=4, interlace=1)), want)
        top_first = core.std.SetFrameProps(source, _FieldBased=1)
        self.assertSameBytes(clip_bytes(core.orv.Denoise(top_first, f1=90, sharp=4)), want)
        self.assertFalse(want == clip_bytes(core.orv.Denoise(source, f1=90, sharp=4, interlace=0)))
        props = core.orv.Denoise(source).get_frame(11).props
        self.assertEqual((props["_FieldBased"], props["Marker"]), (2, 7))


class LumaPlanes(FramesCase):
    """GRAY and YUV clips: the first plane against the filter as defined, at
    every depth, the chroma planes the source's own."""

    def test_against_the_definition(self):
        rgb = noisy_clip(core, 28, 20, length=1, seed=38)
        rows = [
            # format, arguments
            (vs.GRAY8, {}),
            (vs.YUV420P8, dict(f1=30, f2=90, sharp=6)),
            (vs.YUV420P8, dict(show_noise=1)),
            (vs.YUV410P8, dict(interlace=1)),
            (vs.YUV420P9, {}),
            (vs.YUV420P10, dict(f1=100, f2=100, sharp=0)),
            (vs.YUV422P12, dict(f1=0, f2=0, sharp=6)),
            (vs.YUV444P14, dict(interlace=1, sharp=3)),
            (vs.YUV420P16, {}),
            (vs.YUV420P16, dict(show_noise=1, f1=5)),
            (vs.GRAY16, dict(f1=100, f2=100, sharp=6)),
        ]
        for fmt, args in rows:
            with self.subTest(format=core.get_video_format(fmt).name, args=args):
                src = core.resize.Bicubic(rgb, format=fmt, matrix_s="709")
                out = core.orv.Denoise(src, **args).get_frame(0)
                inp = src.get_frame(0)
                bits = inp.format.bits_per_sample
                self.assertEqual(plane_samples(out, 0),
                                 luma_reference(plane_samples(inp, 0), 28, 20, bits, **args))
                for p in range(1, inp.format.num_planes):
                    if args.get("show_noise"):
                        self.assertEqual(set(plane_samples(out, p)), {1 << (bits - 1)})
                    else:
                        self.assertSameBytes(out[p].tobytes(), inp[p].tobytes())

    def test_disable_is_the_clip_itself(self):
        # No node and nothing asked of the clip: a format the filter refuses,
        # and route="gpu" without a GPU, pass as they are.
        for clip in (noisy_clip(core, 8, 6, length=1), core.std.BlankClip(format=vs.YUV444PS, length=1)):
            out = core.orv.Denoise(clip, disable=1, route="gpu")
            self.assertEqual(out.format.id, clip.format.id)
            self.assertSameBytes(all_planes(out.get_frame(0)), all_planes(clip.get_frame(0)))
            self.assertEqual(out.node_name, clip.node_name)


class SameBytesAsTheModule(FramesCase):
    """Every row through the plugin and through orv (the module's two entries), raw XRGB in and out."""

    def test_cpu_route(self):
        rows = [
            # width, height, plugin arguments, orv's arguments, environment of both (the plugin then runs apart)
            (37, 23, {}, ["--config", "Config(70,70,2,0,1)"], None),
            (64, 48, dict(f1=100, f2=100, sharp=0), ["--config", "Config(100,100,0,0,1)"], None),
            (31, 40, dict(f1=-5, f2=300, sharp=9, interlace=2), ["--config", "Config(-5,300,9,2,1)"], None),
            (26, 30, dict(f1=2**31 - 1, sharp=-2**31), ["--config", "Config(2147483647,70,-2147483648,0,1)"], None),
            (33, 21, dict(show_noise=1, auto_profile=0), ["--show-noise", "--no-auto-profile"], None),
            (20, 14, dict(disable=1), ["--disable"], None),
            (1, 1, {}, [], None),
            (1, 19, dict(interlace=1), ["--interlace"], None),
            (57, 41, {}, ["--kernel-set", "reference"], dict(ORV_KERNEL_SET="reference")),
        ]
        for w, h, args, orv_args, env in rows:
            with self.subTest(size=(w, h), args=args, env=env):
                source = noisy_clip(core, w, h, seed=w * h)
                if env is None:
                    mine = b"".join(clip_bytes(core.orv.Denoise(source, **args)))
                else:
                    env = dict(os.environ, **env)
                    mine = run_plugin(env, w, h, 3, w * h, args)
                self.assertSameBytes(mine, run_orv(b"".join(clip_bytes(source)), w, h, orv_args, env))

    def test_gpu_route_on_the_fake_driver(self):
        # The GPU route carries its noise estimate from frame to frame: frames
        # asked for in order on one thread give orv's bytes, where the module
        # also has one instance and takes frames in order. At 320x240 the
        # noise profile has samples, so auto_profile changes the frames.
        fake = os.environ.get("ORV_FAKE_CUDA", "")
        if not os.path.exists(os.path.join(fake, "libcuda.so.1")):
            self.skipTest("no fake NVIDIA driver built (ORV_FAKE_CUDA)")
        w, h, length, seed = 320, 240, 4, 4
        env = {k: v for k, v in os.environ.items() if k != "CUDA_VISIBLE_DEVICES"}
        env.update(LD_LIBRARY_PATH=fake)
        source = noisy_clip(core, w, h, length, seed=seed)
        cpu = clip_bytes(core.orv.Denoise(source))
        frame = w * h * 4

        def module(args, fail=""):
            return run_orv(b"".join(clip_bytes(source)), w, h, args, dict(env, FAKE_CUDA_FAIL=fail))

        profiled, unprofiled = module([]), module(["--no-auto-profile"])
        self.assertFalse(profiled == b"".join(cpu), "the module took the CPU route on the fake driver")
        self.assertFalse(profiled == unprofiled, "the noise profile changed nothing at this size")
        # Frame 1's download fails (three copies a frame: the profile's
        # upload, the denoise's upload, the download): the CPU route takes it.
        fail = "cuMemcpy2DAsync_v2:6:701"
        declined = module([], fail)
        self.assertSameBytes(declined[frame:2 * frame], cpu[1])
        rows = [
            # plugin arguments, FAKE_CUDA_FAIL, the bytes wanted
            (dict(route="gpu"), "", profiled),
            (dict(route="auto", auto_profile=1), "", profiled),
            (dict(auto_profile=0), "", unprofiled),
            (dict(route="cpu"), "", b"".join(cpu)),
            (dict(route="gpu"), fail, declined),
        ]
        for args, plan, want in rows:
            with self.subTest(args=args, fail=plan):
                self.assertSameBytes(run_plugin(dict(env, FAKE_CUDA_FAIL=plan), w, h, length, seed, args), want)

    def test_gpu_route_frames_depend_on_their_number_alone(self):
        # Noise that comes and goes, over more than a window of 33 frames
        # (the README's): each frame's noise estimate folds frames n-32..n
        # alone, so every order and any number of threads give the same
        # frames, and the first 33 are the module's, whose estimate starts
        # at frame 0 too.
        fake = os.environ.get("ORV_FAKE_CUDA", "")
        if not os.path.exists(os.path.join(fake, "libcuda.so.1")):
            self.skipTest("no fake NVIDIA driver built (ORV_FAKE_CUDA)")
        window, w, h, length, seed = 33, 128, 96, 45, 6
        env = {k: v for k, v in os.environ.items() if k != "CUDA_VISIBLE_DEVICES"}
        env.update(LD_LIBRARY_PATH=fake)
        source = b"".join(clip_bytes(noisy_clip(core, w, h, length, seed=seed, scenes=True)))
        module = run_orv(source, w, h, [], env)
        self.assertFalse(module == run_orv(source, w, h, ["--no-auto-profile"], env),
                         "the noise profile changed nothing")
        asks = [(threads, order) for threads in (1, 2, 4) for order in ("forward", "reversed", "shuffled")]
        got, frame = run_plugin(env, w, h, length, seed, {}, asks, scenes=True), w * h * 4
        runs = [[got[(i * length + n) * frame:(i * length + n + 1) * frame] for n in range(length)]
                for i in range(len(asks))]
        for (threads, order), frames in zip(asks, runs):
            with self.subTest(threads=threads, order=order):
                self.assertSameBytes(frames, runs[0])
        self.assertSameBytes(runs[0][:window], [module[n * frame:(n + 1) * frame] for n in range(window)])
        # The source frames asked for: the frame alone without the profile;
        # with it, the window's, then only what no frame has measured.
        script = ("import clips, json, vapoursynth as vs  # clips: the plugin under test\n"
                  "vs.core.num_threads = 1\n"
                  "asked, out = [], []\n"
                  "for auto, numbers in ((0, [40]), (1, [40, 41])):\n"
                  "    blank = vs.core.std.BlankClip(format=vs.RGB24, width=96, height=80, length=50)\n"
                  "    src = vs.core.std.ModifyFrame(blank, blank, lambda n, f: asked.append(n) or f)\n"
                  "    c = vs.core.orv.Denoise(src, auto_profile=auto)\n"
                  "    for n in numbers:\n"
                  "        asked.clear()\n"
                  "        c.get_frame(n)\n"
                  "        out.append(sorted(asked))\n"
                  "print(json.dumps(out))\n")
        ran = subprocess.run([sys.executable, "-c", script], env=env, capture_output=True, timeout=120)
        self.assertEqual(ran.returncode, 0, ran.stderr.decode(errors="replace")[-600:])
        self.assertEqual(json.loads(ran.stdout), [[40], list(range(40 - window + 1, 41)), [41]])


class Memory(unittest.TestCase):
    def test_nodes_made_and_freed_leave_nothing(self):
        # In a process of its own, so that nothing else moves its resident
        # memory: after warm-up, rounds of a node made, two 1080p frames asked
        # for at once (two working records) and the node freed must not grow
        # it beyond the frame or two the core keeps now and then (6 MB each).
        # A leaked line ring alone is about 100 KB a round, 30 MB in all.
        # The sanitizer holds freed memory back on purpose and runs slower:
        # there fewer rounds look for faults, not growth.
        asan = bool(os.environ.get("ORV_UNDER_ASAN"))
        warm, count = (4, 20) if asan else (40, 300)
        script = ("import os, clips, vapoursynth as vs\n"
                  "core = vs.core\n"
                  "core.num_threads = 2\n"
                  "src = core.std.BlankClip(format=vs.RGB24, width=1920, height=1080, length=2, color=[90, 120, 200])\n"
                  "def resident():\n"
                  "    with open('/proc/self/statm') as f:\n"
                  "        return int(f.read().split()[1]) * os.sysconf('SC_PAGE_SIZE')\n"
                  "def rounds(n):\n"
                  "    for _ in range(n):\n"
                  "        c = core.orv.Denoise(src)\n"
                  "        for p in [c.get_frame_async(0), c.get_frame_async(1)]:\n"
                  "            p.result()\n"
                  f"rounds({warm})\n"
                  "before = resident()\n"
                  f"rounds({count})\n"
                  "print(resident() - before)\n")
        ran = subprocess.run([sys.executable, "-c", script], capture_output=True, timeout=120)
        self.assertEqual(ran.returncode, 0, ran.stderr.decode(errors="replace")[-600:])
        grown = int(ran.stdout)
        if asan:
            return
        self.assertLess(grown, 16 << 20, f"{grown} bytes more resident after {count} rounds")


class Vspipe(FramesCase):
    def test_vspipe_gives_the_same_frames(self):
        script = os.path.join(os.path.dirname(__file__), "denoise_script.vpy")
        ran = subprocess.run(["vspipe", script, "-"], capture_output=True, timeout=120, check=True)
        clip = core.orv.Denoise(noisy_clip(core, 45, 27, 5, seed=9), f1=80)
        # vspipe writes RGB's planes as G, B, R (FFmpeg's gbrp).
        planar = b"".join(f[p].tobytes() for f in clip.frames() for p in (1, 2, 0))
        self.assertSameBytes(ran.stdout, planar)


if __name__ == "__main__":
    unittest.main()
