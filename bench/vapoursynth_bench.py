"""The VapourSynth plugin's figures in `make bench` (vapoursynth_bench.sh runs it).

  plugin: orv.Denoise, timed in its frame callback and end to end, against
          the module's CPU route through its entries (orv_module_time), in
          rounds of the same length taken in turn, the median of the rounds'
          ratios; and frames per second on 2 threads against 1, the same way.
  peers:  orv.Denoise beside VapourSynth's denoisers from PyPI on the same
          noisy clips: processor time per frame on one thread (sigma 5), and
          PSNR against the clean source at noise sigma 5 and 10.
  yuv:    the clips in YUV420P8 and YUV420P10 (BT.709): orv.Denoise on the
          clip as it is, the same through RGB24 and back, and the peers that
          load, luma-only; ms per frame on 1 and 2 threads and PSNR of Y
          against the clean clip's; and the goals' ratios, medians of rounds
          taken in turn.

Frames are raw bgr0 files from orv_synth_clip (clean.raw, noisy5.raw,
noisy10.raw in --work), loaded before anything is timed.
"""
import argparse
import os
import subprocess
import time

import numpy as np
import vapoursynth as vs

core = vs.core
ROUNDS = 9


def load(path, w, h):
    return np.fromfile(path, np.uint8).reshape(-1, h, w, 4)


def as_clip(bgr0, length):
    """The frames as RGB24, `length` of them in turn, made once and then
    handed out from the core's cache: after the first pass no Python runs for
    them, which would hold the interpreter's lock beside the timed threads."""
    count, h, w, _ = bgr0.shape
    blank = core.std.BlankClip(format=vs.RGB24, width=w, height=h, length=count)
    held = []
    for frame in bgr0:
        f = blank.get_frame(0).copy()
        for plane, channel in ((0, 2), (1, 1), (2, 0)):
            np.asarray(f[plane])[:] = frame[:, :, channel]
        held.append(f)
    made = core.std.ModifyFrame(blank, blank, lambda n, f: held[n])
    core.std.SetVideoCache(made, mode=1, fixedsize=count)
    clip = core.std.Loop(made, times=-(-length // count))[:length]
    for _ in clip.frames():
        pass
    return clip


def run(clip, threads):
    """Wall and processor seconds to get every frame of a node nobody asked yet."""
    core.num_threads = threads
    wall, cpu = time.perf_counter(), time.process_time()
    for _ in clip.frames():
        pass
    return time.perf_counter() - wall, time.process_time() - cpu


def paired(a, b):
    """a() and b() in turn, ROUNDS times after one of each not counted: the
    best of each, and the median of a/b pair by pair, which holds while the
    shared machine's speed drifts."""
    a(), b()
    pairs = [(a(), b()) for _ in range(ROUNDS)]
    ratios = sorted(x / y for x, y in pairs)
    return min(x for x, _ in pairs), min(y for _, y in pairs), ratios[len(ratios) // 2]


def timed(clip, n, alone):
    """Milliseconds per frame on one thread: inside the node's own frame
    callback (the core's timing of it), and the process's processor time net
    of the source's, which adds what the core spends handing frames on."""
    clip_cpu = run(clip, 1)[1] / n * 1000
    return clip.timings / n / 1e6, clip_cpu - alone


def plugin(args, w, h):
    noisy = os.path.join(args.work, "noisy5.raw")
    source = as_clip(load(noisy, w, h), 96)
    n = source.num_frames
    core.timings.enabled = True
    alone = min(run(source, 1)[1] for _ in range(ROUNDS)) / n * 1000
    end_to_end = []

    def mine():
        inside, whole = timed(core.orv.Denoise(source, route="cpu"), n, alone)
        end_to_end.append(whole)
        return inside

    def module():
        # One round of the same frames in the same number, so that neither
        # side's best is the best of more or shorter tries.
        out = subprocess.run([args.module_time, args.module, str(w), str(h), noisy, str(n), "1"], check=True,
                             capture_output=True, text=True, env=dict(os.environ, CUDA_VISIBLE_DEVICES=""))
        return float(out.stdout)

    def wall(make, threads):
        return lambda: run(make(), threads)[0]

    inside, base, ratio = paired(mine, module)
    invert = min((timed(core.std.Invert(source), n, alone) for _ in range(ROUNDS)), key=lambda t: t[1])
    denoise = lambda: core.orv.Denoise(source, route="cpu")  # noqa: E731
    one, two, gain = paired(wall(denoise, 1), wall(denoise, 2))
    # The same measure on a filter of the core's own, frame-parallel too: what
    # the machine lets two threads gain at the moment.
    blur = lambda: core.std.BoxBlur(source, hradius=8, vradius=8)  # noqa: E731
    blur_gain = paired(wall(blur, 1), wall(blur, 2))[2]
    version = next(line.strip() for line in str(core).splitlines() if "Core R" in line)
    print(f"VapourSynth plugin, {w}x{h} RGB24, {version}; {n} frames a round, {ROUNDS} rounds of each side in turn; "
          "ms per frame on one thread, the best round:")
    print(f"  orv.Denoise, in its frame callback      {inside:6.2f} ms  (end to end, net of the source: "
          f"{min(end_to_end):.2f} ms)")
    print(f"  the module's CPU route, in its entries  {base:6.2f} ms  (processor time)")
    print(f"  std.Invert, in its frame callback       {invert[0]:6.2f} ms  (end to end {invert[1]:.2f} ms: what the "
          "core spends on any filter's frame)")
    print(f"  plugin / module                         {ratio:6.2f}     (goal: at most 1.10; the median of the "
          f"rounds' ratios, callback against entries; end to end, best against best: {min(end_to_end) / base:.2f})")
    print(f"  frames per second, 2 threads against 1: {gain:.2f}x  (goal: at least 1.8; the median of the rounds' "
          f"ratios; at best {n / one:.0f} and {n / two:.0f} fps, wall time, which other work on the machine takes from)")
    print(f"  the core's own std.BoxBlur in the same run, 2 threads against 1: {blur_gain:.2f}x")
    print(f"  load average while it ran: {os.getloadavg()[0]:.1f} on {os.cpu_count()} processors")


def in_yuv(clip, fmt, denoise):
    """A luma denoiser on the RGB24 clip: to YUV (BT.709) in `fmt`, the filter on Y, and back."""
    yuv = core.resize.Bicubic(clip, format=fmt, matrix_s="709")
    return core.resize.Bicubic(denoise(yuv), format=vs.RGB24, matrix_in_s="709")


def dfttest(yuv, sigma):
    import dfttest2
    return dfttest2.DFTTest(yuv, sigma=sigma, planes=[0], backend=dfttest2.Backend.CPU())


# Name, the format it filters in, three strengths for noise sigma s (the best
# PSNR of the three is kept: the clean clip is smooth gradients, flat panels
# and edges, which reward strong smoothing), and the filter. The peers get
# the noisy luma alone, where all the noise is.
S16, PS = vs.YUV444P16, vs.YUV444PS
FILTERS = [
    ("orv.Denoise, defaults (70, 70, sharp 2)", None, lambda s: [None], lambda c, v: core.orv.Denoise(c, route="cpu")),
    ("orv.Denoise f1=100 f2=100 sharp=0", None, lambda s: [None],
     lambda c, v: core.orv.Denoise(c, f1=100, f2=100, sharp=0, route="cpu")),
    ("bm3dcpu.BM3D radius=0, sigma", PS, lambda s: [s, 1.5 * s, 2 * s],
     lambda y, v: core.bm3dcpu.BM3D(y, sigma=[v, 0, 0], radius=0)),
    ("dfttest2.DFTTest (CPU backend), sigma", PS, lambda s: [s * s, 2 * s * s, 4 * s * s], dfttest),
    ("zsmooth.DegrainMedian, limit (16-bit)", S16, lambda s: [257 * s, 2 * 257 * s, 4 * 257 * s],
     lambda y, v: core.zsmooth.DegrainMedian(y, limit=[v, 0, 0])),
    ("nlm_ispc.NLMeans, h", S16, lambda s: [0.24 * s, 0.6 * s, 1.2 * s],
     lambda y, v: core.nlm_ispc.NLMeans(y, h=v, channels="Y")),
    ("conversion to YUV444PS and back alone", PS, lambda s: [None], lambda y, v: y),
    ("conversion to YUV444P16 and back alone", S16, lambda s: [None], lambda y, v: y),
]


def filtered(clip, fmt, make, strength):
    return make(clip, strength) if fmt is None else in_yuv(clip, fmt, lambda y: make(y, strength))


def psnr(clip, clean):
    sse, count = 0.0, 0
    for n, f in enumerate(clip.frames()):
        for plane, channel in ((0, 2), (1, 1), (2, 0)):
            d = np.asarray(f[plane]).astype(np.int32) - clean[n, :, :, channel]
            sse += float(np.sum(d * d))
            count += d.size
    return 10 * np.log10(255.0 * 255.0 * count / sse)


def peers(args, w, h):
    clean = load(os.path.join(args.work, "clean.raw"), w, h)
    noisy = {s: load(os.path.join(args.work, f"noisy{s}.raw"), w, h) for s in (5, 10)}
    sources = {s: as_clip(noisy[s], len(noisy[s])) for s in (5, 10)}
    # Timed over more frames than are scored, so that a node's first frame
    # (its memory, its tables) weighs little.
    timing = as_clip(noisy[5], 48)
    version = next(line.strip() for line in str(core).splitlines() if "Core R" in line)
    print(f"\nVapourSynth denoisers, {w}x{h} RGB24, {len(clean)} frames, {version}; processor time per frame on one "
          f"thread over {timing.num_frames} frames (sigma 5, best of 3), PSNR (R, G, B) against the clean source, "
          "the strength used in brackets:")
    print("| filter | ms per frame | PSNR sigma 5 | PSNR sigma 10 |")
    print("|---|---|---|---|")
    print(f"| noisy input | | {psnr(sources[5], clean):.2f} | {psnr(sources[10], clean):.2f} |")
    for name, fmt, strengths, make in FILTERS:
        try:
            best = {}
            core.num_threads = os.cpu_count() or 1
            for sigma in (5, 10):
                best[sigma] = max((psnr(filtered(sources[sigma], fmt, make, v), clean), v) for v in strengths(sigma))
            chosen = best[5][1]
            cpu = min(run(filtered(timing, fmt, make, chosen), 1)[1] for _ in range(3)) / timing.num_frames * 1000
            row = [f"{cpu:.1f}"] + [f"{best[s][0]:.2f}" + ("" if best[s][1] is None else f" ({best[s][1]:g})")
                                    for s in (5, 10)]
        except (AttributeError, ImportError, vs.Error) as e:
            row = ["unavailable: " + str(e).splitlines()[0][:60], "", ""]
        print(f"| {name} | " + " | ".join(row) + " |")


def yuv_clip(bgr0, length, fmt):
    """The frames in `fmt` (BT.709), converted once and then served from the
    core's cache, as as_clip does."""
    converted = core.resize.Bicubic(as_clip(bgr0, len(bgr0)), format=fmt, matrix_s="709")
    held = [f.copy() for f in converted.frames()]
    blank = core.std.BlankClip(converted, length=len(held))
    made = core.std.ModifyFrame(blank, blank, lambda n, f: held[n])
    core.std.SetVideoCache(made, mode=1, fixedsize=len(held))
    clip = core.std.Loop(made, times=-(-length // len(held)))[:length]
    for _ in clip.frames():
        pass
    return clip


def through_rgb(clip, denoise):
    rgb = core.resize.Bicubic(clip, format=vs.RGB24, matrix_in_s="709")
    return core.resize.Bicubic(denoise(rgb), format=clip.format.id, matrix_s="709")


def psnr_y(clip, clean):
    peak = (1 << clip.format.bits_per_sample) - 1
    sse, count = 0.0, 0
    for f, c in zip(clip.frames(), clean.frames()):
        d = np.asarray(f[0]).astype(np.int64) - np.asarray(c[0]).astype(np.int64)
        sse += float(np.sum(d * d))
        count += d.size
    return 10 * np.log10(peak * peak * count / sse)


def bm3d(clip, sigma):
    y = core.std.ShufflePlanes(clip, 0, vs.GRAY)
    out = core.bm3dcpu.BM3D(core.resize.Point(y, format=vs.GRAYS), sigma=sigma, radius=0)
    return core.std.ShufflePlanes([core.resize.Point(out, format=y.format.id), clip], [0, 1, 2], vs.YUV)


# Name and filter for noise sigma s, on a YUV clip; the peers on its luma
# alone, with the strengths that did best on the RGB clips, on the clip's scale.
YUV_FILTERS = [
    ("orv.Denoise on the clip", lambda c, s: core.orv.Denoise(c, route="cpu")),
    ("orv.Denoise through RGB24 and back", lambda c, s: through_rgb(c, lambda r: core.orv.Denoise(r, route="cpu"))),
    ("orv.Denoise f1=100 f2=100 sharp=0 on the clip",
     lambda c, s: core.orv.Denoise(c, f1=100, f2=100, sharp=0, route="cpu")),
    ("zsmooth.DegrainMedian limit=2s", lambda c, s: core.zsmooth.DegrainMedian(
        c, limit=[2 * s << (c.format.bits_per_sample - 8), 0, 0], planes=[0])),
    ("dfttest2.DFTTest (CPU) sigma=4s^2", lambda c, s: __import__("dfttest2").DFTTest(
        c, sigma=4 * s * s, planes=[0], backend=__import__("dfttest2").Backend.CPU())),
    ("bm3dcpu.BM3D radius=0 sigma=2s (Y in float)", lambda c, s: bm3d(c, 2 * s)),
    ("nlm_ispc.NLMeans h=1.2s", lambda c, s: core.nlm_ispc.NLMeans(c, h=1.2 * s, channels="Y")),
]


def yuv(args, w, h):
    raw = {k: load(os.path.join(args.work, f"{k}.raw"), w, h) for k in ("clean", "noisy5", "noisy10")}
    version = next(line.strip() for line in str(core).splitlines() if "Core R" in line)
    length = 48
    print(f"\nYUV clips, {w}x{h}, {version}; ms per frame over {length} frames (wall time, best of 3) on 1 and 2 "
          "threads, PSNR of Y against the clean clip's:")
    print("| clip | filter | ms, 1 thread | ms, 2 threads | PSNR sigma 5 | PSNR sigma 10 |")
    print("|---|---|---|---|---|---|")
    timing = {}
    for fmt in (vs.YUV420P8, vs.YUV420P10):
        name = core.get_video_format(fmt).name
        clean = yuv_clip(raw["clean"], len(raw["clean"]), fmt)
        noisy = {s: yuv_clip(raw[f"noisy{s}"], len(raw[f"noisy{s}"]), fmt) for s in (5, 10)}
        timing[fmt] = yuv_clip(raw["noisy5"], length, fmt)
        print(f"| {name} | noisy input | | | {psnr_y(noisy[5], clean):.2f} | {psnr_y(noisy[10], clean):.2f} |")
        for label, make in YUV_FILTERS:
            try:
                quality = [psnr_y(make(noisy[s], s), clean) for s in (5, 10)]
                ms = [min(run(make(timing[fmt], 5), t)[0] for _ in range(3)) / length * 1000 for t in (1, 2)]
                row = [f"{ms[0]:.1f}", f"{ms[1]:.1f}", f"{quality[0]:.2f}", f"{quality[1]:.2f}"]
            except (AttributeError, ImportError, vs.Error) as e:
                row = ["unavailable: " + str(e).splitlines()[0][:50], "", "", ""]
            print(f"| {name} | {label} | " + " | ".join(row) + " |")

    def cpu(make):
        return lambda: run(make(), 1)[1]

    p8, p16 = timing[vs.YUV420P8], yuv_clip(raw["noisy5"], length, vs.YUV420P16)
    on_clip = lambda c: lambda: core.orv.Denoise(c, route="cpu")  # noqa: E731
    via_rgb = paired(cpu(on_clip(p8)), cpu(lambda: through_rgb(p8, lambda r: core.orv.Denoise(r, route="cpu"))))[2]
    deep = paired(cpu(on_clip(p16)), cpu(on_clip(p8)))[2]
    gain = paired(lambda: run(on_clip(p8)(), 1)[0], lambda: run(on_clip(p8)(), 2)[0])[2]
    print(f"  YUV420P8, on the clip against through RGB24 and back: {via_rgb:.2f}x the processor time (goal: at most "
          f"0.5); YUV420P16 against YUV420P8: {deep:.2f}x (goal: at most 1.3); 2 threads against 1 on YUV420P8: "
          f"{gain:.2f}x the frames per second (goal: at least 1.8); medians of {ROUNDS} rounds each side in turn")
    print(f"  load average while it ran: {os.getloadavg()[0]:.1f} on {os.cpu_count()} processors")


def main():
    p = argparse.ArgumentParser()
    p.add_argument("mode", choices=["plugin", "peers", "yuv"])
    p.add_argument("--work", required=True)
    p.add_argument("--size", default="1920x1080")
    p.add_argument("--module-time")
    p.add_argument("--module")
    args = p.parse_args()
    w, h = (int(v) for v in args.size.split("x"))
    {"plugin": plugin, "peers": peers, "yuv": yuv}[args.mode](args, w, h)


if __name__ == "__main__":
    main()
