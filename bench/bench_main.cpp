// ORV's CPU routes against a plain copy and against ffmpeg's denoisers, on
// the same 1080p frames, one thread, in one run. Every figure is printed as a
// multiple of the fast route's time per frame in this same run.
//
//   orv_bench [--rounds N] [--frames N] [--no-peers]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/peer_filters.h"
#include "bench/synthetic_frames.h"
#include "core/fast_route.h"
#include "core/reference_route.h"
#include "core/settings.h"
#include "host/callbacks.h"
#include "host/vd_interface.h"

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
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc) o.rounds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--frames" && i + 1 < argc) o.frames = std::max(1, std::atoi(argv[++i]));
        else if (a == "--no-peers") o.peers = false;
        else {
            std::fprintf(stderr, "usage: %s [--rounds N] [--frames N] [--no-peers]\n", argv[0]);
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

// One filter instance with a host frame pair, driven through the callbacks.
struct Host {
    FilterInstance fi{};
    VFBitmap src{}, dst{};
    FilterActivation fa{};
    std::vector<uint32_t> out;
    explicit Host(int disable) : out(static_cast<size_t>(kWidth) * kHeight) {
        init_instance(fi, 1);
        fi.disable = disable;
        for (VFBitmap* b : {&src, &dst}) b->w = kWidth, b->h = kHeight, b->pitch = 4 * kWidth;
        dst.data = out.data();
        fa.filter_data = &fi;
        fa.src = &src;
        fa.dst = &dst;
    }
    void start(std::vector<uint32_t>& first) {
        src.data = first.data();
        if (startProc(&fa, nullptr) != 0) {
            std::fprintf(stderr, "startProc failed\n");
            std::exit(1);
        }
    }
    ~Host() { endProc(&fa, nullptr); }
    FrameView srcView() const { return FrameView{reinterpret_cast<uint8_t*>(src.data), src.pitch, kWidth, kHeight}; }
    FrameView dstView() const { return FrameView{reinterpret_cast<uint8_t*>(dst.data), dst.pitch, kWidth, kHeight}; }
};

struct Route {
    std::string name;
    std::function<void(std::vector<uint32_t>&)> run;  // one frame
    std::vector<double> msPerFrame;                    // one figure per round
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

int main_bench(int argc, char** argv) {
    const Options opt = parse(argc, argv);
    std::printf("making %d synthetic %dx%d frames...\n", opt.frames, kWidth, kHeight);
    auto frames = synthetic_frames(kWidth, kHeight, opt.frames);

    Host fastHost(0), refHost(0), copyHost(1);
    for (Host* h : {&fastHost, &refHost, &copyHost}) h->start(frames[0]);
    std::vector<Route> routes;
    routes.push_back({std::string("fast route, runProc (") + cpu_variant_name(best_cpu_variant()) + ")",
                      [&](std::vector<uint32_t>& f) {
                          fastHost.src.data = f.data();
                          runProc(&fastHost.fa, nullptr);
                      },
                      {}});
    std::vector<std::unique_ptr<Host>> extra;
    for (CpuVariant v : kAllCpuVariants) {
        if (v == best_cpu_variant() || !cpu_variant_runs_here(v)) continue;
        extra.push_back(std::make_unique<Host>(0));
        Host* h = extra.back().get();
        h->start(frames[0]);
        routes.push_back({std::string("fast route, ") + cpu_variant_name(v) + " kernels",
                          [h, v](std::vector<uint32_t>& f) {
                              h->src.data = f.data();
                              run_fast_route(h->fi, h->srcView(), h->dstView(), v);
                          },
                          {}});
    }
    const size_t reference = routes.size();
    routes.push_back({"reference route, run_reference_route",
                      [&](std::vector<uint32_t>& f) {
                          refHost.src.data = f.data();
                          run_reference_route(refHost.fi, refHost.srcView(), refHost.dstView());
                      },
                      {}});
    routes.push_back({"copy of the frame (disable, runProc)",
                      [&](std::vector<uint32_t>& f) {
                          copyHost.src.data = f.data();
                          runProc(&copyHost.fa, nullptr);
                      },
                      {}});

    // Warm-up, and a check that the fast and reference routes agree.
    for (auto& r : routes) r.run(frames[0]);
    const bool identical = fastHost.out == refHost.out;

    std::printf("timing %zu routes, %d rounds of %d frames...\n", routes.size(), opt.rounds, opt.frames);
    for (int round = 0; round < opt.rounds; ++round)
        for (size_t k = 0; k < routes.size(); ++k) {
            Route& r = routes[(k + static_cast<size_t>(round)) % routes.size()];  // a new order each round
            const auto t0 = std::chrono::steady_clock::now();
            for (auto& f : frames) r.run(f);
            const auto t1 = std::chrono::steady_clock::now();
            r.msPerFrame.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count() / opt.frames);
        }

    struct Row {
        std::string name;
        double ms;
    };
    std::vector<Row> rows;
    for (auto& r : routes) rows.push_back({r.name, median(r.msPerFrame)});
    const double fast = rows[0].ms;
    double hqdn3d = 0.0;
    std::string peerNote = "ffmpeg: not found, peers not measured";
    if (!opt.peers) peerNote = "ffmpeg: skipped (--no-peers)";
    else if (ffmpeg_available()) {
        const int loops = std::max(1, 64 / opt.frames - 1);
        std::printf("timing ffmpeg peers...\n");
        const auto peers = time_peers(frames, kWidth, kHeight, {"hqdn3d", "atadenoise"}, loops, opt.rounds);
        if (peers.empty()) peerNote = "ffmpeg: failed, peers not measured";
        else peerNote = peer_method(opt.frames * (loops + 1), opt.rounds);
        for (const auto& p : peers) {
            rows.push_back({"ffmpeg " + p.filter + " (1 thread)", p.msPerFrame});
            if (p.filter == "hqdn3d") hqdn3d = p.msPerFrame;
        }
    }

    std::printf("\nORV CPU routes, %dx%d XRGB, %d frames of synthetic noisy content, settings f1=70 f2=70 sharp=2,\n"
                "one thread, median of %d rounds; \"x fast\" = time per frame / fast route's\n\n",
                kWidth, kHeight, opt.frames, opt.rounds);
    std::printf("%-40s %10s %10s %9s\n", "route", "ms/frame", "MP/s", "x fast");
    const double mp = static_cast<double>(kWidth) * kHeight / 1e6;
    for (const Row& r : rows)
        std::printf("%-40s %10.2f %10.1f %9.2f\n", r.name.c_str(), r.ms, mp / (r.ms / 1000.0), r.ms / fast);
    std::printf("\nreference route: the scratch-frame route runProc took before the fast one, called directly\n");
    std::printf("%s\n", peerNote.c_str());
    std::printf("fast and reference outputs bit-identical: %s\n", identical ? "yes" : "NO");
    const double refRatio = rows[reference].ms / fast;
    std::printf("goal, reference >= 10 x fast: %s (%.1f x)\n", refRatio >= 10.0 ? "met" : "missed", refRatio);
    if (hqdn3d > 0.0)
        std::printf("goal, fast <= 0.5 x hqdn3d: %s (%.2f x)\n", fast <= 0.5 * hqdn3d ? "met" : "missed", fast / hqdn3d);
    std::printf("\nGPU kernels, ptxas figures recorded at build time: %s", ptxas_report().c_str());
    return identical ? 0 : 1;
}

}  // namespace
}  // namespace orv::bench

int main(int argc, char** argv) { return orv::bench::main_bench(argc, argv); }
