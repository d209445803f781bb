// The GPU route's driver work per frame, counted on the fake driver (no
// device times it here): one start for a run of frames, as VirtualDub runs a
// filter, against an end and a start around every frame, as AviSynth+ does
// under Prefetch; each with idle contexts kept for the next start and with
// every end freeing its context (an idle limit of 0). The counts do not
// depend on the frame's size: a small frame spares the emulator's time.
#include <cstdio>
#include <string>
#include <vector>

#include "core/filter_instance.h"
#include "gpu/context_pool.h"
#include "host/callbacks.h"
#include "host/vd_interface.h"
#include "test_support/fake_cuda/fake_driver.h"

namespace orv::bench {
namespace {

constexpr int kFrames = 30;
constexpr int32_t kWidth = 64, kHeight = 36;

struct Counts {
    int calls, allocations, streams, gpuFrames;
};

struct Host {
    FilterInstance fi{};
    std::vector<uint32_t> src = std::vector<uint32_t>(kWidth * kHeight), dst = src;
    VFBitmap srcBitmap{}, dstBitmap{};
    FilterActivation fa{};
    Host() {
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        bind(srcBitmap, src);
        bind(dstBitmap, dst);
        fa.filter_data = &fi;
        fa.src = &srcBitmap;
        fa.dst = &dstBitmap;
        initProc(&fa, nullptr);
    }
    static void bind(VFBitmap& b, std::vector<uint32_t>& pixels) {
        b.data = pixels.data();
        b.w = kWidth;
        b.h = kHeight;
        b.pitch = kWidth * 4;
    }
};

int lines(const std::string& log) {
    int n = 0;
    for (char c : log) n += c == '\n';
    return n;
}

Counts count(test::FakeDriver& d, bool restartEveryFrame) {
    Host h;
    gpu_context_pool_drain();
    d.reset();
    Counts c{};
    if (!restartEveryFrame) startProc(&h.fa, nullptr);
    for (int k = 0; k < kFrames; ++k) {
        if (restartEveryFrame) startProc(&h.fa, nullptr);
        runProc(&h.fa, nullptr);
        c.gpuFrames += h.fi.lastRoute == kRouteGpu;
        if (restartEveryFrame) endProc(&h.fa, nullptr);
    }
    if (!restartEveryFrame) endProc(&h.fa, nullptr);
    c.calls = lines(d.log());
    c.allocations = d.calls("cuMemAllocPitch_v2") + d.calls("cuMemAlloc_v2");
    c.streams = d.calls("cuStreamCreate");
    return c;
}

int run() {
    test::FakeDriver d;
    {  // the driver's bring-up, once a process, is no frame's
        Host warm;
        startProc(&warm.fa, nullptr);
        endProc(&warm.fa, nullptr);
    }
    std::printf("GPU route on the fake driver, %d frames of %dx%d: driver work per frame\n\n", kFrames, kWidth,
                kHeight);
    std::printf("%-46s %-22s %8s %8s %8s %10s\n", "order", "contexts", "calls", "allocs", "streams",
                "calls x1st");
    const int limit = gpu_context_pool_set_limit(0);
    const Counts before[] = {count(d, false), count(d, true)};
    gpu_context_pool_set_limit(limit);
    const Counts after[] = {count(d, false), count(d, true)};
    const char* orders[] = {"VirtualDub: one start, every frame", "AviSynth+ Prefetch: a restart every frame"};
    bool allGpu = true;
    for (int o = 0; o < 2; ++o)
        for (int state = 0; state < 2; ++state) {
            const Counts& c = state == 0 ? before[o] : after[o];
            allGpu = allGpu && c.gpuFrames == kFrames;
            std::printf("%-46s %-22s %8.2f %8.2f %8.2f %10.2f\n", orders[o],
                        state == 0 ? "freed at every end" : "kept idle for reuse", c.calls / double(kFrames),
                        c.allocations / double(kFrames), c.streams / double(kFrames),
                        c.calls / double(before[0].calls));
        }
    std::printf("\n(calls x1st: against one start's calls with every end freeing, the route before idle contexts)\n");
    if (!allGpu) std::printf("NOT every frame went through the GPU route: the counts are not the route's\n");
    return allGpu ? 0 : 1;
}

}  // namespace
}  // namespace orv::bench

int main() { return orv::bench::run(); }
