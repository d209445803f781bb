// Frames through the module's GPU route, on the fake driver: what the GPU
// writes, how the noise profile steers it, and how the device buffers follow
// the frames.
#include <iterator>
#include <memory>
#include <thread>
#include <utility>

#include "gpu/context_pool.h"
#include "gpu/device_ops.h"
#include "gpu/tests/gpu_route_fixture.h"

namespace orv::test {
namespace {

// An instance with the default settings, started on src with a context.
void init_and_start(HostInstance& in, TestFrame& src, TestFrame& dst) {
    ASSERT_EQ(in.init(), 0);
    ASSERT_EQ(in.start(src, dst), 0);
    ASSERT_NE(in.fields().gpu, nullptr);
}

// Random pictures, settings and pitches, two frames each so that the second
// profile blends into the first; with autoProfile off the GPU gets the stored
// settings, above 100 and all. A frame in place comes back through the
// context's staging buffer, whatever its pitch's sign; its second frame grows
// without a restart, so the buffer must grow with it.
TEST(GpuRoute, OutputEqualsTheEmulatorsForEveryPitch) {
    GpuModule g;
    SplitMix64 rng{61};
    const struct {
        ptrdiff_t srcExtra, dstExtra;
        bool srcNegative, dstNegative;
        bool inPlace = false;
    } pitches[] = {{0, 0, false, false},     {0, 0, true, false},      {8, 0, false, true},
                   {4, 36, true, true},      {12, 12, true, true, true}, {0, 0, false, false, true}};
    // Large enough for the profile's 64 samples, and down to a single pixel.
    const std::pair<int32_t, int32_t> sizes[] = {{131, 75}, {17, 1}, {70, 90}, {1, 1}, {93, 67}};
    size_t next = 0;
    bool measuredNoise = false;
    for (const auto& pc : pitches) {
        for (int autoProfile : {1, 0}) {
            const auto [w, h] = sizes[next++ % std::size(sizes)];
            Settings s{rng.range(0, 120), rng.range(0, 100), rng.range(0, 6), rng.range(0, 1), rng.range(0, 3) == 0};
            HostInstance in(g.m.host);
            ASSERT_EQ(in.init(), 0);
            apply(in, s);
            in.fields().autoProfile = autoProfile;
            {
                TestFrame first(w, h, pitch_of(w, pc.srcExtra, pc.srcNegative));
                ASSERT_EQ(in.start(first), 0);
            }
            ASSERT_NE(in.fields().gpu, nullptr);
            float noiseSigma = 0.0f;
            for (int frame = 0; frame < 2; ++frame) {
                const int32_t fw = w + (pc.inPlace ? frame * 13 : 0), fh = h + (pc.inPlace ? frame * 9 : 0);
                TestFrame src(fw, fh, pitch_of(fw, pc.srcExtra, pc.srcNegative));
                TestFrame apart(fw, fh, pitch_of(fw, pc.dstExtra, pc.dstNegative));
                TestFrame& dst = pc.inPlace ? src : apart;
                const auto pixels = random_picture(rng, fw, fh);
                src.fill(pixels);
                const auto srcBefore = src.memory();
                ASSERT_EQ(in.run(src, dst), 0);
                const auto want =
                    expected_gpu_frame(pixels, fw, fh, s, autoProfile, src.pitch(), dst.pitch(), noiseSigma);
                EXPECT_EQ(in.fields().noiseSigma, noiseSigma);
                measuredNoise = measuredNoise || noiseSigma > 0.0f;
                EXPECT_EQ(dst.packed(), want)
                    << fw << "x" << fh << " pitches " << src.pitch() << " " << dst.pitch() << " in place "
                    << pc.inPlace << " autoProfile " << autoProfile << " frame " << frame;
                EXPECT_TRUE(dst.canaries_intact()) << "pitches " << src.pitch() << " " << dst.pitch();
                if (!pc.inPlace) {
                    EXPECT_EQ(src.memory(), srcBefore);
                }
            }
            EXPECT_EQ(in.fields().f1, s.f1);  // the adapted values never reach the instance
            EXPECT_EQ(in.fields().sharp, s.sharp);
            EXPECT_EQ(in.end(), 0);
        }
    }
    EXPECT_TRUE(measuredNoise);
    EXPECT_EQ(g.driver.faults(), 0);
    EXPECT_EQ(g.driver.current_depth(), 0);
}

// The grid pattern measures 10.0265 as its first estimate: boost 20 raises 70
// to 90, and sharp 6 is capped to 3 while 2 stays 2. The launches have the
// shapes the kernels expect.
TEST(GpuRoute, GridPatternRaisesTheStrengths) {
    GpuModule g;
    const struct {
        int32_t size;
        int32_t sharp;
        int autoProfile;
        KernelSettings want;
        const char* profileGrid;
        const char* denoiseGrid;
    } cases[] = {
        {67, 6, 1, {90, 90, 3, 0, 0}, "grid=1x1x1", "grid=5x5x1"},
        {200, 6, 1, {90, 90, 3, 0, 0}, "grid=2x2x1", "grid=13x13x1"},
        {67, 2, 1, {90, 90, 2, 0, 0}, "grid=1x1x1", "grid=5x5x1"},
        {67, 6, 0, {70, 70, 6, 0, 0}, nullptr, "grid=5x5x1"},
    };
    for (const auto& c : cases) {
        const auto pixels = grid_pattern(c.size, c.size);
        TestFrame src(c.size, c.size, c.size * 4), dst(c.size, c.size, c.size * 4);
        src.fill(pixels);
        HostInstance in(g.m.host);
        ASSERT_EQ(in.init(), 0);
        in.config(70, 70, c.sharp, 0, 1);
        in.fields().autoProfile = c.autoProfile;
        ASSERT_EQ(in.start(src, dst), 0);
        g.driver.reset();
        ASSERT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(in.fields().noiseSigma, c.autoProfile ? kGridSigma : 0.0f);
        EXPECT_EQ(dst.packed(), gpu_output(pixels, c.size, c.size, c.want, src.pitch(), dst.pitch()))
            << c.size << " sharp " << c.sharp << " autoProfile " << c.autoProfile;

        const auto launches = log_lines(g.driver.log(), {"cuLaunchKernel"});
        ASSERT_EQ(launches.size(), c.profileGrid ? 2u : 1u);
        if (c.profileGrid) {
            EXPECT_EQ(launches[0], std::string("cuLaunchKernel ") + emu::kProfileKernelName + " " + c.profileGrid +
                                       " block=16x16x1 shared=0");
        }
        EXPECT_EQ(launches.back(), std::string("cuLaunchKernel ") + emu::kDenoiseKernelName + " " + c.denoiseGrid +
                                       " block=16x16x1 shared=0");
        EXPECT_EQ(in.end(), 0);
    }
    // The three routes the grid can take are told apart by their output.
    const auto pixels = grid_pattern(67, 67);
    const auto raised = run_denoise(pixels, 67, 67, {90, 90, 3, 0, 0});
    const auto stored = run_denoise(pixels, 67, 67, {70, 70, 6, 0, 0});
    EXPECT_NE(raised, stored);
    EXPECT_NE(stored, denoise(pixels, 67, 67, Settings{70, 70, 6, 0, 0}));
    EXPECT_EQ(g.driver.faults(), 0);
}

// Start sizes the buffers; a frame of that size then makes no allocation or
// free; one of another size waits, frees all four buffers and makes four new
// ones; end keeps them idle for the next start, and the module's deinit
// entry frees them. noiseSigma survives end and start.
TEST(GpuRoute, BuffersFollowTheFrameSize) {
    GpuModule g;
    FakeDriver& d = g.driver;
    // On Windows the driver's context lives to the process's end, and with
    // it what earlier tests leaked on purpose.
    const int leftOver = d.live("allocations");
    HostInstance in(g.m.host);
    ASSERT_EQ(in.init(), 0);
    TestFrame src(67, 67, 67 * 4), dst(67, 67, 67 * 4);
    src.fill(grid_pattern(67, 67));

    d.reset();
    ASSERT_EQ(in.start(src, dst), 0);
    EXPECT_EQ(log_lines(d.log(), {"cuStreamCreate", "cuMemAllocPitch_v2", "cuMemAlloc_v2", "cuMemFree_v2"}),
              (std::vector<std::string>{"cuStreamCreate flags=1", "cuMemAllocPitch_v2 268x67",
                                        "cuMemAllocPitch_v2 268x67", "cuMemAlloc_v2 8", "cuMemAlloc_v2 4"}));
    EXPECT_EQ(d.live("allocations") - leftOver, 4);

    d.reset();
    ASSERT_EQ(in.run(src, dst), 0);
    EXPECT_EQ(d.calls("cuMemAllocPitch_v2") + d.calls("cuMemAlloc_v2") + d.calls("cuMemFree_v2"), 0);
    EXPECT_EQ(in.fields().noiseSigma, kGridSigma);

    // A host that changes the size without a new start.
    TestFrame wide(90, 20, -90 * 4), wideDst(90, 20, 90 * 4);
    SplitMix64 rng{62};
    const auto pixels = random_picture(rng, 90, 20);
    wide.fill(pixels);
    d.reset();
    ASSERT_EQ(in.run(wide, wideDst), 0);
    const auto sizing = log_lines(d.log(), {"cuStreamSynchronize", "cuMemFree_v2", "cuMemAllocPitch_v2",
                                            "cuMemAlloc_v2", "cuMemcpy2DAsync_v2"});
    ASSERT_GE(sizing.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(sizing.begin(), sizing.begin() + 9),
              (std::vector<std::string>{"cuStreamSynchronize", "cuMemFree_v2", "cuMemFree_v2", "cuMemFree_v2",
                                        "cuMemFree_v2", "cuMemAllocPitch_v2 360x20", "cuMemAllocPitch_v2 360x20",
                                        "cuMemAlloc_v2 8", "cuMemAlloc_v2 4"}));
    EXPECT_EQ(d.live("allocations") - leftOver, 4);
    const float sigma = smoothing_rule(kGridSigma, gpu_sigma(pixels, 90, 20, wide.pitch()));
    EXPECT_EQ(in.fields().noiseSigma, sigma);
    EXPECT_EQ(wideDst.packed(), gpu_output(pixels, 90, 20, kernel_settings(adaptation_rule(sigma, 70, 70, 2), {}),
                                           wide.pitch(), wideDst.pitch()));

    // End keeps the context, idle, for the next start: it only waits.
    d.reset();
    EXPECT_EQ(in.end(), 0);
    EXPECT_EQ(in.fields().gpu, nullptr);
    EXPECT_EQ(d.live("allocations") - leftOver, 4);
    EXPECT_EQ(d.live("streams"), 1);
    EXPECT_EQ(log_lines(d.log(), {"cuStreamSynchronize", "cuMemFree_v2", "cuStreamDestroy_v2"}),
              (std::vector<std::string>{"cuStreamSynchronize"}));
    EXPECT_EQ(in.fields().noiseSigma, sigma);

    // A start of another size takes it and re-sizes it; one of the same size
    // after that takes it whole.
    const std::vector<std::string> allocations{"cuStreamCreate", "cuMemAllocPitch_v2", "cuMemAlloc_v2", "cuMemFree_v2"};
    for (int round = 0; round < 2; ++round) {
        d.reset();
        ASSERT_EQ(in.start(src, dst), 0);
        EXPECT_EQ(log_lines(d.log(), allocations).size(), round == 0 ? 8u : 0u) << round;
        ASSERT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(in.end(), 0);
    }
    EXPECT_EQ(in.fields().noiseSigma, smoothing_rule(smoothing_rule(sigma, kGridSigma), kGridSigma));
    // The module's deinit entry gives back every idle context.
    g.m.host.deregister();
    EXPECT_EQ(d.live("allocations") - leftOver, 0);
    EXPECT_EQ(d.live("streams"), 0);
}

// Frames that no GPU work follows: pass-through touches neither the GPU nor
// the noise estimate, and an empty frame goes to the CPU route without a
// driver call. A second start without an end keeps the context it has.
TEST(GpuRoute, FramesWithoutGpuWork) {
    GpuModule g;
    HostInstance in(g.m.host);
    TestFrame src(20, 12, 80), dst(20, 12, 80);
    ASSERT_NO_FATAL_FAILURE(init_and_start(in, src, dst));
    const auto* context = in.fields().gpu;
    ASSERT_EQ(in.start(src, dst), 0);
    EXPECT_EQ(in.fields().gpu, context);
    in.fields().noiseSigma = 4.0f;

    in.fields().disable = 1;
    src.fill_words(0x12808080);
    g.driver.reset();
    ASSERT_EQ(in.run(src, dst), 0);
    EXPECT_EQ(dst.packed(), std::vector<uint32_t>(20 * 12, 0x12808080));
    EXPECT_EQ(g.driver.log(), "");
    EXPECT_EQ(in.fields().noiseSigma, 4.0f);

    in.fields().disable = 0;
    for (auto [w, h] : {std::pair{0, 12}, std::pair{20, 0}}) {
        TestFrame empty(w, h, 80), emptyDst(w, h, 80);
        g.driver.reset();
        EXPECT_EQ(in.run(empty, emptyDst), 0);
        EXPECT_EQ(g.driver.log(), "");
        EXPECT_TRUE(emptyDst.canaries_intact());
        EXPECT_EQ(in.fields().noiseSigma, 4.0f);
    }
    EXPECT_EQ(in.end(), 0);
}

// The driver's context is current only while an operation runs, so a host
// may start an instance on one thread and run it on another; instances that
// start on several threads at once bring the driver up once.
TEST(GpuRoute, AnyThreadMayCall) {
    GpuModule g;
    HostInstance in(g.m.host);
    TestFrame src(40, 30, 160), dst(40, 30, 160);
    src.fill_words(0x808080);
    ASSERT_NO_FATAL_FAILURE(init_and_start(in, src, dst));
    EXPECT_EQ(g.driver.current_depth(), 0);
    std::thread([&] {
        EXPECT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(g.driver.current_depth(), 0);
    }).join();
    EXPECT_EQ(dst.packed(), std::vector<uint32_t>(40 * 30, 0x808080));
    EXPECT_EQ(in.end(), 0);
}

TEST(GpuRoute, InstancesOnManyThreadsBringTheDriverUpOnce) {
    FakeDriver d;
    RegisteredModule m;  // loaded after the reset: its first operation brings the driver up
    std::vector<std::thread> threads;
    std::vector<int> gpuFrames(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            HostInstance in(m.host);
            in.init();
            TestFrame src(24 + t, 16, (24 + t) * 4), dst(24 + t, 16, (24 + t) * 4);
            src.fill_words(0x808080);
            if (in.start(src, dst) != 0) return;
            for (int frame = 0; frame < 3; ++frame) {
                in.run(src, dst);
                gpuFrames[t] += dst.packed() == std::vector<uint32_t>(static_cast<size_t>(24 + t) * 16, 0x808080);
            }
            in.end();
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(gpuFrames, std::vector<int>(4, 3));
    EXPECT_EQ(d.calls("cuInit"), 1);
    EXPECT_EQ(d.calls("cuDevicePrimaryCtxRetain"), 1);
    EXPECT_EQ(d.calls("cuModuleLoadData"), 1);
    // An instance that starts after another ended takes its idle context.
    EXPECT_GE(d.calls("cuStreamCreate"), 1);
    EXPECT_LE(d.calls("cuStreamCreate"), 4);
    EXPECT_EQ(d.faults(), 0);
}

}  // namespace
}  // namespace orv::test

namespace orv::test {
namespace {

// Idle contexts: a start takes the one of its size, else the one idle
// longest; a fifth handed back displaces the one idle longest, a context
// whose stream failed is not kept, and one deleted without an end is handed
// back, not lost.
TEST(GpuRoute, IdleContextsByAgeAndSize) {
    GpuModule g;
    FakeDriver& d = g.driver;
    const int leftOver = d.live("allocations");
    std::vector<std::unique_ptr<HostInstance>> in;
    std::vector<std::unique_ptr<TestFrame>> frames;
    for (int k = 0; k < 5; ++k) {
        in.push_back(std::make_unique<HostInstance>(g.m.host));
        frames.push_back(std::make_unique<TestFrame>(20 + k, 10, (20 + k) * 4));
        ASSERT_EQ(in[k]->init(), 0);
        ASSERT_EQ(in[k]->start(*frames[k]), 0);
    }
    for (auto& i : in) ASSERT_EQ(i->end(), 0);
    EXPECT_EQ(d.live("allocations") - leftOver, 16);  // the first one's went
    for (int k : {2, 4, 1, 3, 0}) {
        d.reset();
        ASSERT_EQ(in[k]->start(*frames[k]), 0);
        EXPECT_EQ(d.calls("cuMemAllocPitch_v2") + d.calls("cuStreamCreate"), k == 0 ? 3 : 0) << k;
    }
    d.reset();
    d.fail_call("cuStreamSynchronize", 1, 700);
    ASSERT_EQ(in[0]->end(), 0);
    EXPECT_EQ(d.calls("cuStreamDestroy_v2"), 1);
    in[1]->deinit();
    EXPECT_EQ(in[1]->fields().gpu, nullptr);
    for (int k = 2; k < 5; ++k) ASSERT_EQ(in[k]->end(), 0);
    // A start of a size none has re-sizes the one idle longest; the newest,
    // of the size that ran last, stays for a start of that size.
    TestFrame other(30, 10, 30 * 4);
    d.reset();
    ASSERT_EQ(in[0]->start(other), 0);
    EXPECT_EQ(d.calls("cuMemAllocPitch_v2"), 2);
    EXPECT_EQ(d.calls("cuStreamCreate"), 0);
    d.reset();
    ASSERT_EQ(in[4]->start(*frames[4]), 0);
    EXPECT_EQ(d.calls("cuMemAllocPitch_v2") + d.calls("cuStreamCreate"), 0) << "the newest idle context was taken";
    for (int k : {0, 4}) ASSERT_EQ(in[k]->end(), 0);
    g.m.host.deregister();
    // This program's own pool, called directly: at a limit of 1 the context
    // handed back is the next one taken; one without a stream is never kept.
    const int limit = gpu_context_pool_set_limit(1);
    GpuContext* ctx = gpu_context_take(24, 10);
    ASSERT_TRUE(gpu_context_ensure(ctx, 24, 10));
    gpu_context_give_back(ctx);
    d.reset();
    GpuContext* again = gpu_context_take(24, 10);
    EXPECT_EQ(again, ctx);
    ASSERT_TRUE(gpu_context_ensure(again, 24, 10));
    EXPECT_EQ(d.calls("cuMemAllocPitch_v2") + d.calls("cuStreamCreate"), 0) << "the kept context was taken";
    gpu_context_pool_set_limit(limit);
    cuda::destroy_stream(again->stream);
    again->stream = nullptr;
    gpu_context_give_back(again);
    EXPECT_EQ(d.live("allocations") - leftOver, 0);
    EXPECT_EQ(d.live("streams"), 0);
}

}  // namespace
}  // namespace orv::test
