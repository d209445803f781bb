"""The VapourSynth plugin's figures in `make bench` (vapoursynth_bench.sh runs it).

  plugin: orv.Denoise, timed in its frame callback and end to end, against
          the module's CPU route through its entries (orv_module_time), in
          rounds of the same length taken in turn, the median of the rounds'
          ratios; and frames per second on 2 threads against 1, the same way.
  yuv:    the peers table: the clips in YUV420P8 and YUV420P10 (BT.709),
          every filter as a YUV user runs it: orv.Denoise on the clip as it
          is and through RGB24 and back, and VapourSynth's denoisers from PyPI
          on the luma alone; ms per frame on 1 and 2 threads (medians of
          rounds in which every filter runs once in turn) and PSNR of Y
          against the clean clip at noise sigma 5 and 10; a peer that isn't
          installed is a row that says so. Then the goals' ratios, medians of
          rounds taken in turn.

Frames are raw bgr0 files from orv_synth_clip (clean.raw, noisy5.raw,
noisy10.raw in --work), loaded before anything is timed.
"""
import argparse
import os
import subprocess
import sys
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


def luma_only(clip, denoise):
    """A peer as a YUV user runs it on the luma alone: Y out as GRAY, filtered,
    and put back beside the clip's own chroma (no conversion, no copy)."""
    y = core.std.ShufflePlanes(clip, 0, vs.GRAY)
    return core.std.ShufflePlanes([denoise(y), clip], [0, 1, 2], vs.YUV)


def mdegrain2(y, thsad):
    sup = core.mv.Super(y)
    vectors = [core.mv.Analyse(sup, isb=b, delta=d, overlap=4) for d in (1, 2) for b in (True, False)]
    return core.mv.Degrain2(y, sup, *vectors, thsad=thsad)


def dfttest(y, sigma):
    import dfttest2
    return dfttest2.DFTTest(y, sigma=sigma, backend=dfttest2.Backend.CPU())


def zs(name, **fixed):
    """A zsmooth filter with its thresholds on the 8-bit scale at any depth."""
    return lambda y, v: getattr(core.zsmooth, name)(y, scalep=1, **fixed, **(v or {}))


ORV = lambda **a: lambda c, v: core.orv.Denoise(c, route="cpu", **a)  # noqa: E731
# Label, kind (spatial: within the frame; temporal: across frames, with or
# without space), the strengths tried at noise sigma s (the best PSNR of them
# is kept and shown; None: the filter's defaults), whether it filters the luma
# alone through luma_only, and the filter. The clean clip is a still picture
# under fresh noise each frame, which favours the temporal filters.
PEERS = [
    ("orv.Denoise on the clip, defaults (70, 70, sharp 2)", "spatial", lambda s: [None], False, ORV()),
    ("orv.Denoise on the clip, f1=100 f2=100 sharp=0", "spatial", lambda s: [None], False,
     ORV(f1=100, f2=100, sharp=0)),
    ("orv.Denoise through RGB24 and back, defaults", "spatial", lambda s: [None], False,
     lambda c, v: through_rgb(c, lambda r: core.orv.Denoise(r, route="cpu"))),
    ("std.Median (3x3)", "spatial", lambda s: [None], True, lambda y, v: core.std.Median(y)),
    ("zsmooth.TemporalMedian, radius", "temporal", lambda s: [1, 2], True,
     lambda y, v: core.zsmooth.TemporalMedian(y, radius=v)),
    ("zsmooth.FluxSmoothST, thresholds (defaults 7, 7)", "spatio-temporal", lambda s: [None, 2 * s, 4 * s, 8 * s],
     True,
     lambda y, v: zs("FluxSmoothST")(y, None if v is None else dict(temporal_threshold=v, spatial_threshold=v))),
    # On the YUV clip with the chroma's limit 0: on a GRAY clip zsmooth 0.20's
    # DegrainMedian crashes the process.
    ("zsmooth.DegrainMedian, limit (default 4)", "spatio-temporal", lambda s: [4, 2 * s, 4 * s, 8 * s],
     False,
     lambda c, v: core.zsmooth.DegrainMedian(c, limit=[v << (c.format.bits_per_sample - 8), 0, 0])),
    # thsad (default 400) is the block difference beyond which a block isn't
    # averaged: noise of sigma s alone makes 8x8 blocks differ by about 90 s.
    ("mv.Degrain2 (MVTools), thsad", "temporal, motion-compensated", lambda s: [400, 80 * s, 160 * s, 320 * s], True,
     mdegrain2),
    # bm3dcpu, the AVX2 one, is an API 3 plugin, which the newest cores no
    # longer load; VapourSynth-BM3D's basic estimate stands for BM3D.
    ("bm3d.Basic (VapourSynth-BM3D), sigma", "spatial", lambda s: [s, 2 * s, 3 * s], True,
     lambda y, v: core.bm3d.Basic(y, sigma=v)),
    ("dfttest2.DFTTest (CPU backend, tbsize 3), sigma", "spatio-temporal",
     lambda s: [s * s, 2 * s * s, 4 * s * s, 8 * s * s], True, dfttest),
    ("nlm_ispc.NLMeans (d=1), h", "spatio-temporal", lambda s: [0.6 * s, 1.2 * s, 1.8 * s, 2.4 * s], True,
     lambda y, v: core.nlm_ispc.NLMeans(y, h=v)),
]


def peer_node(clip, alone, make, strength):
    return luma_only(clip, lambda y: make(y, strength)) if alone else make(clip, strength)


def time_rows(rows, clip, threads, rounds):
    """Milliseconds a frame for each row's node over `clip`, the median of
    `rounds` rounds in which every row runs once in turn, so that the shared
    machine's drift falls on all alike. On one thread processor time, on more
    wall time (what the user waits for)."""
    times = {label: [] for label in rows}
    for _ in range(rounds):
        for label, make in rows.items():
            node = make(clip)
            wall, cpu = run(node, threads)
            times[label].append((cpu if threads == 1 else wall) / clip.num_frames * 1000)
            del node
    return {label: sorted(t)[len(t) // 2] for label, t in times.items()}


def yuv(args, w, h):
    # The threads only ever go up in this process, each count set before any
    # node is made under it: dfttest2's CPU backend aborts the process when
    # they are lowered once it has made a node.
    core.num_threads = 1
    raw = {k: load(os.path.join(args.work, f"{k}.raw"), w, h) for k in ("clean", "noisy5", "noisy10")}
    version = next(line.strip() for line in str(core).splitlines() if "Core R" in line)
    frames, rounds = len(raw["clean"]), 3
    formats = [vs.YUV420P8, vs.YUV420P10]
    clean = {f: yuv_clip(raw["clean"], frames, f) for f in formats}
    noisy = {(f, s): yuv_clip(raw[f"noisy{s}"], frames, f) for f in formats for s in (5, 10)}

    def cpu(make):
        return lambda: run(make(), 1)[1]

    p8, p16 = noisy[vs.YUV420P8, 5], yuv_clip(raw["noisy5"], frames, vs.YUV420P16)
    on_clip = lambda c: lambda: core.orv.Denoise(c, route="cpu")  # noqa: E731
    via_rgb = paired(cpu(on_clip(p8)), cpu(lambda: through_rgb(p8, lambda r: core.orv.Denoise(r, route="cpu"))))[2]
    deep = paired(cpu(on_clip(p16)), cpu(on_clip(p8)))[2]

    # Quality first, on one thread: the strength each peer is timed with.
    cells, timed_rows = {f: {} for f in formats}, {f: {} for f in formats}
    for fmt in formats:
        for label, kind, strengths, alone, make in PEERS:
            print(f"-- {core.get_video_format(fmt).name}: {label}", file=sys.stderr, flush=True)
            try:
                best = {s: max(((psnr_y(peer_node(noisy[fmt, s], alone, make, v), clean[fmt]), v)
                                for v in strengths(s)), key=lambda t: t[0]) for s in (5, 10)}
            except (AttributeError, ImportError, vs.Error) as e:
                cells[fmt][label] = (kind, ["not installed: " + str(e).splitlines()[0][:60], "", "", ""])
                continue
            shown = [f"{best[s][0]:.2f}" + ("" if best[s][1] is None else f" ({best[s][1]:g})") for s in (5, 10)]
            cells[fmt][label] = (kind, shown)
            timed_rows[fmt][label] = (lambda a, m, v: lambda c: peer_node(c, a, m, v))(alone, make, best[5][1])
    ms = {}
    for threads in (1, 2):
        core.num_threads = threads
        for fmt in formats:
            print(f"-- {core.get_video_format(fmt).name}: timing on {threads} thread(s)", file=sys.stderr, flush=True)
            ms[fmt, threads] = time_rows(timed_rows[fmt], noisy[fmt, 5], threads, rounds)

    print(f"\nYUV clips, {w}x{h}, {version}; every filter as a YUV user runs it (orv on the clip, the peers on the "
          f"luma alone); ms per frame over {frames} frames, the median of {rounds} rounds in which every filter "
          "runs once in turn (1 thread: processor time; 2 threads: wall time); PSNR of Y against the clean clip's, "
          "the best of the strengths tried in brackets, the sigma-5 one timed:")
    print("| clip | filter | kind | ms, 1 thread | ms, 2 threads | PSNR sigma 5 | PSNR sigma 10 |")
    print("|---|---|---|---|---|---|---|")
    for fmt in formats:
        name = core.get_video_format(fmt).name
        print(f"| {name} | noisy input | | | | {psnr_y(noisy[fmt, 5], clean[fmt]):.2f} | "
              f"{psnr_y(noisy[fmt, 10], clean[fmt]):.2f} |")
        for label, (kind, shown) in cells[fmt].items():
            row = shown if label not in timed_rows[fmt] else [
                f"{ms[fmt, 1][label]:.1f}", f"{ms[fmt, 2][label]:.1f}"] + shown
            print(f"| {name} | {label} | {kind} | " + " | ".join(row) + " |")
    print(f"  YUV420P8, on the clip against through RGB24 and back: {via_rgb:.2f}x the processor time (goal: at most "
          f"0.5); YUV420P16 against YUV420P8: {deep:.2f}x (goal: at most 1.3); medians of {ROUNDS} rounds each side "
          "in turn")
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "")
    print(f"  load average while it ran: {os.getloadavg()[0]:.1f} on {os.cpu_count()} processors ({model})")


def main():
    p = argparse.ArgumentParser()
    p.add_argument("mode", choices=["plugin", "yuv"])
    p.add_argument("--work", required=True)
    p.add_argument("--size", default="1920x1080")
    p.add_argument("--module-time")
    p.add_argument("--module")
    args = p.parse_args()
    w, h = (int(v) for v in args.size.split("x"))
    {"plugin": plugin, "yuv": yuv}[args.mode](args, w, h)


if __name__ == "__main__":
    main()
