// ORV's CPU route, on each kernel set and in its stages, against a plain copy
// and against ffmpeg's denoisers, on the same 1080p frames, one thread, in one
// run. Every figure is printed as a multiple of a frame copy's time and of
// hqdn3d's in this same run.
//
//   orv_bench [--rounds N] [--frames N] [--no-peers] [--sets reference,avx2,avx512] [--dispatch]
//
// --dispatch times only the set the module's dispatch picks on this processor
// (as run under a CPUID mask, to see what a processor without AVX2 gets).
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/peer_filters.h"
#include "bench/synthetic_frames.h"
#include "core/fast_route.h"
#include "core/reference_route.h"
#include "core/settings.h"
#include "host/callbacks.h"
#include "test_support/frame_util.h"
#ifdef ORV_BENCH_FRAME_PATH
#include "cli/frames/yuv_to_xrgb.h"
#endif

#ifndef ORV_PTXAS_REPORT
#define ORV_PTXAS_REPORT ""
#endif

namespace orv::bench {
namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080;

struct Options {
    int rounds = 9;
    int frames = 8;
    bool peers = true;
    std::string sets;  // kernel sets to time, by name; empty: all this processor runs
    bool dispatch = false;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc) o.rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--frames" && i + 1 < argc) o.frames = std::max(1, std::atoi(argv[++i]));
        else if (a == "--no-peers") o.peers = false;
        else if (a == "--sets" && i + 1 < argc) o.sets = argv[++i];
        else if (a == "--dispatch") o.dispatch = true;
        else {
            std::fprintf(stderr, "usage: %s [--rounds N] [--frames N] [--no-peers] [--sets avx2,...] [--dispatch]\n", argv[0]);
            std::exit(2);
        }
    }
    return o;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A filter instance on the benchmark's settings, with its plane made.
struct Instance {
    FilterInstance fi{};
    Instance() {
        init_instance(fi, 1);
        if (!ensure_luma_plane(fi, kWidth, kHeight)) {
            std::fprintf(stderr, "no memory for the luma plane\n");
            std::exit(1);
        }
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    ~Instance() {
        release_luma_plane(fi);
        release_line_ring(fi);
    }
};

FrameView packed(std::vector<uint32_t>& f) {
    return FrameView{reinterpret_cast<uint8_t*>(f.data()), 4 * kWidth, kWidth, kHeight};
}

// Processor time of this thread: on a machine shared with other work, wall
// time would count theirs too.
double thread_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Timed {
    std::string name;
    std::function<void(std::vector<uint32_t>&)> run;  // one frame
    std::vector<double> msPerFrame;                    // one figure per round
};

// The stages of a kernel set, each over a whole frame on its own: the luma
// plane with its 16-bit rows, the corrections from them, and the colour
// rebuild from the corrections.
struct Stages {
    const kernels::RowKernels& k;
    const kernels::PassConstants pc;
    std::vector<uint8_t> plane;
    kernels::LineRing wide;
    std::vector<int32_t> S;
    std::vector<uint32_t> out;
    explicit Stages(const KernelSet& set, const FilterInstance& fi)
        : k(set.kernels),
          pc(kernels::make_pass_constants(fi.f1, fi.f2, fi.sharp, fi.interlace, fi.showNoise)),
          plane(static_cast<size_t>(kWidth) * kHeight), S(plane.size()), out(plane.size()) {
        if (!wide.make(kWidth, kHeight)) {
            std::fprintf(stderr, "no memory for the 16-bit lines\n");
            std::exit(1);
        }
    }
    void luma(const std::vector<uint32_t>& f) {
        for (size_t at = 0; at < f.size(); at += kWidth)
            k.luma_row(&f[at], kWidth, &plane[at], wide.row(at / kWidth), wide.multiples(at / kWidth));
    }
    void core() {
        for (int32_t j = 0; j < kHeight; ++j) {
            const int16_t* lines[kernels::kLineCount];
            wide.lines_of(j, kHeight, pc.step, lines);
            k.corrections_row(kernels::RowJob{plane.data(), lines, kWidth, kHeight, j, nullptr, nullptr, pc},
                              &S[static_cast<size_t>(j) * kWidth]);
        }
    }
    // The route rebuilds a row from corrections still in the cache, and from
    // its luma rows; so does this, from the first rows' corrections and the
    // luma rows the last luma stage left (the work doesn't depend on either).
    void rebuild(const std::vector<uint32_t>& f) {
        for (size_t at = 0; at < f.size(); at += kWidth)
            k.rebuild_row(&f[at], &S[at % (8 * kWidth)], kWidth, pc.showNoise, &out[at], wide.row(at / kWidth),
                          wide.multiples(at / kWidth));
    }
};

// The GPU build's record of the kernels' registers and memory, as it wrote it.
std::string ptxas_report() {
    const std::string path = ORV_PTXAS_REPORT;
    std::ifstream in(path);
    if (path.empty() || !in) return "not built\n";
    std::stringstream s;
    s << "(" << path << ")\n" << in.rdbuf();
    return s.str();
}

struct Row {
    std::string name;
    double ms;
    bool headline = false;  // printed first: what users compare with
};

// The sets to time: those named by --sets (all by default) that the
// processor runs, or with --dispatch the one the dispatch picks.
std::vector<const KernelSet*> chosen_sets(const Options& opt) {
    std::vector<const KernelSet*> sets;
    for (const KernelSet& v : kernel_sets()) {
        const bool named =
            opt.sets.empty() || ("," + opt.sets + ",").find("," + std::string(v.name) + ",") != std::string::npos;
        if (runs_here(v) && (opt.dispatch ? &v == &best_kernel_set() : named)) sets.push_back(&v);
    }
    return sets;
}

// Every row over every frame, the rows in a new order each round; the median
// of the rounds.
std::vector<Row> time_rows(std::vector<Timed>& timed, std::vector<std::vector<uint32_t>>& frames, const Options& opt) {
    std::printf("timing %zu rows, %d rounds of %d frames...\n", timed.size(), opt.rounds, opt.frames);
    for (int round = 0; round < opt.rounds; ++round)
        for (size_t k = 0; k < timed.size(); ++k) {
            Timed& t = timed[(k + static_cast<size_t>(round)) % timed.size()];
            const double t0 = thread_ms();
            for (auto& f : frames) t.run(f);
            t.msPerFrame.push_back((thread_ms() - t0) / opt.frames);
        }
    std::vector<Row> rows;
    for (auto& t : timed) rows.push_back({t.name, median(t.msPerFrame)});
    return rows;
}

// ffmpeg's denoisers on the same frames, as rows; hqdn3d's time when it ran.
// Returns the line that says how they were measured.
std::string add_peer_rows(const Options& opt, const std::vector<std::vector<uint32_t>>& frames, std::vector<Row>& rows,
                          double& hqdn3d) {
    if (!opt.peers) return "ffmpeg: skipped (--no-peers)";
    if (!ffmpeg_available()) return "ffmpeg: not found, peers not measured";
    const int loops = std::max(1, 64 / opt.frames - 1);
    std::printf("timing ffmpeg peers...\n");
    // yuv420p is what users run the peers on; gbrp, three full planes, is
    // the work closest to ORV's on XRGB words.
    const auto peers =
        time_peers(frames, kWidth, kHeight, {"yuv420p", "gbrp"}, {"hqdn3d", "atadenoise"}, loops, opt.rounds);
    for (const auto& p : peers) {
        const bool users = p.format == "yuv420p";
        rows.push_back({"ffmpeg " + p.filter + " on " + p.format + (users ? " (as users run it)" : " (full planes)"),
                        p.msPerFrame, users});
        if (users && p.filter == "hqdn3d") hqdn3d = p.msPerFrame;
    }
    return peers.empty() ? "ffmpeg: failed, peers not measured" : peer_method(opt.frames * (loops + 1), opt.rounds);
}

// Every set's route on one frame against the reference route's output.
bool sets_match_reference(const std::vector<const KernelSet*>& sets, FilterInstance& fi, std::vector<uint32_t>& frame,
                          std::vector<uint32_t>& out, const std::vector<uint32_t>& refOut) {
    bool identical = true;
    for (const KernelSet* v : sets) {
        std::fill(out.begin(), out.end(), 0u);
        run_fast_route(fi, packed(frame), packed(out), *v);
        if (out != refOut) {
            std::printf("%s kernels: output differs from the reference route\n", v->name);
            identical = false;
        }
    }
    return identical;
}

#ifdef ORV_BENCH_FRAME_PATH
// orv's frame path on 1080p yuv420p (BT.709, limited range), as orv runs it
// on every frame: the decoder's picture to XRGB words, the route, and the
// words to the encoder's picture. The input pictures are the frames, made once.
struct FramePath {
    struct Picture {
        std::vector<uint8_t> bytes;
        cli::YuvPicture pic{};
        Picture() : bytes(static_cast<size_t>(kWidth) * kHeight * 3 / 2) {
            uint8_t* y = bytes.data();
            uint8_t* cb = y + static_cast<size_t>(kWidth) * kHeight;
            uint8_t* cr = cb + static_cast<size_t>(kWidth / 2) * (kHeight / 2);
            pic = cli::YuvPicture{{y, cb, cr}, {kWidth, kWidth / 2, kWidth / 2}, kWidth, kHeight, 1, 1, 0.2126,
                                  0.0722, false, false};
        }
    };
    std::vector<std::unique_ptr<Picture>> in;
    Picture out;
    std::vector<uint32_t> words;
    size_t next = 0;
    explicit FramePath(const std::vector<std::vector<uint32_t>>& frames) : words(static_cast<size_t>(kWidth) * kHeight) {
        for (const auto& f : frames) {
            in.push_back(std::make_unique<Picture>());
            cli::xrgb_to_yuv(f.data(), 4 * kWidth, in.back()->pic);
        }
    }
    // The conversions that go with the set, as ORV_KERNEL_SET naming it gives them.
    void run(FilterInstance& fi, const KernelSet& set) {
        const cli::YuvConversion& c = cli::yuv_conversion_for(set.name);
        c.toXrgb(in[next++ % in.size()]->pic, words.data(), 4 * kWidth);
        run_fast_route(fi, packed(words), packed(words), set);
        c.toYuv(words.data(), 4 * kWidth, out.pic);
    }
};
#endif

void print_table(const std::vector<Row>& rows, double copy, double hqdn3d, const Options& opt) {
    std::printf("\nORV CPU route, %dx%d XRGB, %d frames of synthetic noisy content, settings f1=70 f2=70 sharp=2,\n"
                "one thread, processor time, median of %d rounds; \"x copy\" = time per frame / a frame copy's, \"x hqdn3d\" the\n"
                "same against ffmpeg's hqdn3d; the stages are each timed alone over a whole frame\n\n",
                kWidth, kHeight, opt.frames, opt.rounds);
    std::printf("%-52s %9s %9s %8s %9s\n", "route", "ms/frame", "MP/s", "x copy", "x hqdn3d");
    const double mp = static_cast<double>(kWidth) * kHeight / 1e6;
    for (const bool headline : {true, false})
        for (const Row& r : rows) {
            if (r.headline != headline) continue;
            std::printf("%-52s %9.2f %9.1f %8.2f", r.name.c_str(), r.ms, mp / (r.ms / 1000.0), r.ms / copy);
            if (hqdn3d > 0.0) std::printf(" %9.2f", r.ms / hqdn3d);
            std::printf("\n");
        }
}

// Rows the goals compare, by their places in the table.
struct GoalRows {
    std::vector<std::pair<std::string, size_t>> route;      // the AVX2 sets' fast route
    std::vector<std::pair<std::string, size_t>> framePath;  // orv's frame path, per set timed so
    std::vector<std::pair<size_t, size_t>> greyNoisy;       // each set's grey-rich row and noisy row
    size_t sse41 = SIZE_MAX, avx2 = SIZE_MAX;               // SIZE_MAX: not timed
};

void print_goals(const std::vector<Row>& rows, double copy, double hqdn3d, const GoalRows& g) {
    // The goals are stated for machines without AVX-512, most users' kind:
    // they hold for the AVX2 sets (with and without VNNI) even where a wider
    // one runs, and the wider sets' figures are said apart.
    for (const auto& [name, row] : g.route) {
        const double fast = rows[row].ms;
        std::printf("goal, %s fast route <= 10 x copy: %s (%.1f x)\n", name.c_str(),
                    fast <= 10.0 * copy ? "met" : "missed", fast / copy);
    }
    if (hqdn3d > 0.0)
        for (const auto& [name, row] : g.framePath)
            std::printf("goal, orv frame path on %s <= 0.60 x hqdn3d on yuv420p%s: %s (%.2f x)\n", name.c_str(),
                        name.rfind("avx512", 0) == 0 ? " (AVX-512, apart)" : "",
                        rows[row].ms <= 0.60 * hqdn3d ? "met" : "missed", rows[row].ms / hqdn3d);
    // Flat greys and black bars are the colour model's exact multiples; they
    // must not cost more than noise does.
    for (const auto& [grey, noisy] : g.greyNoisy) {
        const double ratio = rows[grey].ms / rows[noisy].ms;
        std::printf("goal, %s <= 1.05 x noisy: %s (%.2f x)\n", rows[grey].name.c_str(),
                    ratio <= 1.05 ? "met" : "missed", ratio);
    }
    const size_t sse41Row = g.sse41, avx2Row = g.avx2;
    // Processors with SSE4.1 and no AVX2 get the SSE4.1 set: it should not
    // trail the AVX2 set by more than its half-width vectors explain.
    if (sse41Row != SIZE_MAX && avx2Row != SIZE_MAX) {
        const double ratio = rows[sse41Row].ms / rows[avx2Row].ms;
        std::printf("goal, sse41 fast route <= 2.0 x avx2 (stretch 1.6): %s (%.2f x)\n",
                    ratio <= 1.6 ? "met, stretch too" : ratio <= 2.0 ? "met" : "missed", ratio);
    }
}

int main_bench(int argc, char** argv) {
    const Options opt = parse(argc, argv);
    std::printf("making %d synthetic %dx%d frames...\n", opt.frames, kWidth, kHeight);
    auto frames = synthetic_frames(kWidth, kHeight, opt.frames);
    std::vector<uint32_t> out(frames[0].size()), refOut(out.size());

    const std::vector<const KernelSet*> sets = chosen_sets(opt);
    if (opt.dispatch) std::printf("the dispatch picks the %s kernels on this processor\n", best_kernel_set().name);
    std::vector<Timed> timed;
    std::vector<std::unique_ptr<Instance>> instances;
    std::vector<std::unique_ptr<Stages>> stages;
    GoalRows goals;
    // Letterboxed flat greys with text, beside the noisy frames.
    std::vector<std::vector<uint32_t>> greyFrames;
    for (int k = 0; k < opt.frames; ++k) greyFrames.push_back(test::grey_rich_frame(kWidth, kHeight, static_cast<uint32_t>(k)));
#ifdef ORV_BENCH_FRAME_PATH
    FramePath framePath(frames);
#endif
    for (const KernelSet* v : sets) {
        instances.push_back(std::make_unique<Instance>());
        FilterInstance& fi = instances.back()->fi;
        const std::string name = v->name;
        const size_t routeRow = timed.size();
        if (name == "avx2" || name == "avx2vnni") goals.route.emplace_back(name, routeRow);
        if (name == "sse41") goals.sse41 = routeRow;
        if (name == "avx2") goals.avx2 = routeRow;
        timed.push_back({"fast route, " + name + " kernels", [&fi, &out, v](std::vector<uint32_t>& f) {
                             run_fast_route(fi, packed(f), packed(out), *v);
                         }, {}});
        goals.greyNoisy.emplace_back(timed.size(), routeRow);
        timed.push_back({"grey-rich frame, fast route, " + name + " kernels",
                         [&fi, &out, v, &greyFrames, n = size_t{0}](std::vector<uint32_t>&) mutable {
                             run_fast_route(fi, packed(greyFrames[n++ % greyFrames.size()]), packed(out), *v);
                         }, {}});
#ifdef ORV_BENCH_FRAME_PATH
        if (name == "avx2" || v == &best_kernel_set()) {
            goals.framePath.emplace_back(name, timed.size());
            timed.push_back({"orv frame path, " + name + ": yuv420p to words and back",
                             [&fi, v, &framePath](std::vector<uint32_t>&) { framePath.run(fi, *v); }, {}});
        }
#endif
        if (!v->kernels.readsLines) continue;  // the reference: its stages are the reference route's
        stages.push_back(std::make_unique<Stages>(*v, fi));
        Stages* p = stages.back().get();
        timed.push_back({"  " + name + ": luma plane and 16-bit rows", [p](std::vector<uint32_t>& f) { p->luma(f); }, {}});
        timed.push_back({"  " + name + ": core (corrections)", [p](std::vector<uint32_t>&) { p->core(); }, {}});
        timed.push_back({"  " + name + ": colour rebuild", [p](std::vector<uint32_t>& f) { p->rebuild(f); }, {}});
    }
    Instance refInstance;
    timed.push_back({"reference route, run_reference_route", [&](std::vector<uint32_t>& f) {
                         run_reference_route(refInstance.fi, packed(f), packed(refOut));
                     }, {}});
    // AviSynth+ ends and starts an instance on every seek: what the CPU
    // route's start costs there, its plane and lines made anew.
    Instance restarted;
    VFBitmap bitmap{};
    bitmap.w = kWidth;
    bitmap.h = kHeight;
    FilterActivation fa{};
    fa.filter_data = &restarted.fi;
    fa.src = fa.dst = &bitmap;
    timed.push_back({"endProc + startProc (each seek in AviSynth+)", [&](std::vector<uint32_t>&) {
                         endProc(&fa, nullptr);
                         startProc(&fa, nullptr);
                     }, {}});
    const size_t copyRow = timed.size();
    timed.push_back({"copy of the frame", [&](std::vector<uint32_t>& f) {
                         copy_rows(packed(f), packed(out), kWidth, kHeight);
                     }, {}});

    for (auto& t : timed) t.run(frames[0]);  // warm-up; refOut becomes the reference route's frame
    bool identical = sets_match_reference(sets, instances[0]->fi, frames[0], out, refOut);
    {
        std::vector<uint32_t> greyOut(out.size());
        run_reference_route(refInstance.fi, packed(greyFrames[0]), packed(greyOut));
        identical = sets_match_reference(sets, instances[0]->fi, greyFrames[0], out, greyOut) && identical;
    }

    std::vector<Row> rows = time_rows(timed, frames, opt);
    const double copy = rows[copyRow].ms;
    double hqdn3d = 0.0;
    const std::string peerNote = add_peer_rows(opt, frames, rows, hqdn3d);

    print_table(rows, copy, hqdn3d, opt);
    std::printf("\nreference route: the scratch-frame route on the reference kernels, called directly\n");
    std::printf("%s\n", peerNote.c_str());
    std::printf("every set's output bit-identical to the reference route's, noisy and grey-rich: %s\n", identical ? "yes" : "NO");
    print_goals(rows, copy, hqdn3d, goals);
    if (!opt.dispatch) std::printf("\nGPU kernels, ptxas figures recorded at build time: %s", ptxas_report().c_str());
    return identical ? 0 : 1;
}

}  // namespace
}  // namespace orv::bench

int main(int argc, char** argv) { return orv::bench::main_bench(argc, argv); }
