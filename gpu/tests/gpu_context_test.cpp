// The GPU context and the noise profile called directly, on the fake driver:
// the sizes and frames they refuse, and the sample counts at the profile's
// edges.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gpu/context_pool.h"
#include "gpu/gpu_context.h"
#include "gpu/gpu_route.h"
#include "gpu/noise_profile.h"
#include "test_support/fake_cuda/fake_driver.h"
#include "gpu/tests/kernel_runs.h"

namespace orv::test {
namespace {

struct Context {
    FakeDriver driver;
    GpuContext* ctx = gpu_context_create();
    ~Context() { gpu_context_free(ctx); }
};

// Every test needs the fake's device; an environment that hides it fails
// the test with the reason rather than a crash.
#define ASSERT_CONTEXT(c) ASSERT_NE((c).ctx, nullptr) << "no context on the fake driver: is its device hidden?"

TEST(GpuContext, EmptySizesAreRefusedWithoutADriverCall) {
    Context c;
    ASSERT_CONTEXT(c);
    std::vector<uint32_t> frame(64, 0x808080), out(64);
    c.driver.reset();
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-1, 5}, std::pair{5, -8}}) {
        EXPECT_FALSE(gpu_context_ensure(c.ctx, w, h)) << w << "x" << h;
        EXPECT_FALSE(gpu_denoise_frame(c.ctx, frame.data(), 32, out.data(), 32, w, h, 70, 70, 2, 0, 0));
        float sigma = 3.5f;
        EXPECT_FALSE(gpu_profile_noise(c.ctx, frame.data(), 32, w, h, &sigma));
        EXPECT_EQ(sigma, 3.5f);
    }
    EXPECT_EQ(c.driver.log(), "");
    EXPECT_FALSE(gpu_context_ensure(nullptr, 8, 8));
    EXPECT_FALSE(gpu_denoise_frame(nullptr, frame.data(), 32, out.data(), 32, 8, 8, 70, 70, 2, 0, 0));
    gpu_context_free(nullptr);
}

// A missing frame or a pitch of 0 fails after the buffers are sized, before
// any transfer; a failed profile leaves its result alone.
TEST(GpuContext, MissingFramesFailAfterSizing) {
    Context c;
    ASSERT_CONTEXT(c);
    std::vector<uint32_t> frame(64, 0x808080), out(64, 0xDEADBEEF);
    float sigma = 3.5f;
    c.driver.reset();
    EXPECT_FALSE(gpu_denoise_frame(c.ctx, nullptr, 32, out.data(), 32, 8, 8, 70, 70, 2, 0, 0));
    EXPECT_EQ(c.driver.live("allocations"), 4);
    EXPECT_EQ(c.ctx->frameWidth, 8);
    EXPECT_NE(c.ctx->devPitch, 0u);
    EXPECT_FALSE(gpu_denoise_frame(c.ctx, frame.data(), 32, nullptr, 32, 8, 8, 70, 70, 2, 0, 0));
    EXPECT_FALSE(gpu_denoise_frame(c.ctx, frame.data(), 0, out.data(), 32, 8, 8, 70, 70, 2, 0, 0));
    EXPECT_FALSE(gpu_denoise_frame(c.ctx, frame.data(), 32, out.data(), 0, 8, 8, 70, 70, 2, 0, 0));
    EXPECT_FALSE(gpu_profile_noise(c.ctx, nullptr, 32, 8, 8, &sigma));
    EXPECT_FALSE(gpu_profile_noise(c.ctx, frame.data(), 0, 8, 8, &sigma));
    EXPECT_FALSE(gpu_profile_noise(c.ctx, frame.data(), 32, 8, 8, nullptr));
    EXPECT_FALSE(gpu_profile_noise(nullptr, frame.data(), 32, 8, 8, &sigma));
    EXPECT_EQ(sigma, 3.5f);
    EXPECT_EQ(c.driver.calls("cuMemcpy2DAsync_v2"), 0);
    EXPECT_EQ(c.driver.calls("cuLaunchKernel"), 0);
    EXPECT_EQ(out, std::vector<uint32_t>(64, 0xDEADBEEF));
}

// Too few samples is a success with sigma 0: frames narrower or lower than
// 11 pixels have none, 66 x 66 has 49, 67 x 67 has the 64 it takes.
TEST(GpuProfile, SampleCountsAtTheEdges) {
    Context c;
    ASSERT_CONTEXT(c);
    const struct {
        int32_t w, h;
        bool grid;
        float want;
    } cases[] = {
        {10, 200, true, 0.0f},  {200, 10, true, 0.0f}, {66, 66, true, 0.0f}, {67, 67, true, kGridSigma},
        {200, 200, true, kGridSigma}, {67, 67, false, 0.0f},
    };
    for (const auto& k : cases) {
        const auto pixels = k.grid ? grid_pattern(k.w, k.h) : std::vector<uint32_t>(size_t(k.w) * k.h, 0x646464);
        float sigma = 7.0f;
        EXPECT_TRUE(gpu_profile_noise(c.ctx, pixels.data(), k.w * 4, k.w, k.h, &sigma)) << k.w << "x" << k.h;
        EXPECT_EQ(sigma, k.want) << k.w << "x" << k.h;
    }
    EXPECT_EQ(c.driver.faults(), 0);
}

// A width of 17 and a height of 1: a grid of 2 x 1 blocks, and the threads
// past the edge write nothing.
TEST(GpuContext, NarrowFrameGrid) {
    Context c;
    ASSERT_CONTEXT(c);
    const std::vector<uint32_t> pixels{0x101010, 0x203040, 0x808080, 0xFFFFFF, 0x000000, 0x7F7F7F, 0x123456,
                                       0x654321, 0xABCDEF, 0x0F0F0F, 0xF0F0F0, 0x777777, 0x888888, 0x999999,
                                       0x111111, 0x222222, 0x333333};
    std::vector<uint32_t> out(17 + 2, 0xDEADBEEF);  // one word of canary each side
    c.driver.reset();
    ASSERT_TRUE(gpu_denoise_frame(c.ctx, pixels.data(), 17 * 4, out.data() + 1, 17 * 4, 17, 1, 70, 70, 2, 0, 0));
    EXPECT_EQ(std::vector<uint32_t>(out.begin() + 1, out.end() - 1), run_denoise(pixels, 17, 1));
    EXPECT_EQ(out.front(), 0xDEADBEEF);
    EXPECT_EQ(out.back(), 0xDEADBEEF);
    EXPECT_NE(c.driver.log().find(std::string("cuLaunchKernel ") + emu::kDenoiseKernelName + " grid=2x1x1"),
              std::string::npos);
    EXPECT_EQ(c.driver.faults(), 0);
}

// A frame whose noise estimate the host folded itself (the VapourSynth
// plugin's window): adapted from that value with no profile launched, the
// instance's own estimate untouched; with autoProfile off the value counts
// for nothing.
TEST(GpuRoute, TakesAGivenEstimate) {
    FakeDriver driver;
    const auto pixels = grid_pattern(67, 67);
    const struct {
        float estimate;
        int autoProfile;
        KernelSettings want;
    } cases[] = {
        {kGridSigma, 1, {90, 90, 3, 0, 0}},
        {0.0f, 1, {70, 70, 6, 0, 0}},
        {22.25f, 1, {100, 100, 2, 0, 0}},
        {kGridSigma, 0, {70, 70, 6, 0, 0}},
    };
    for (const auto& c : cases) {
        FilterInstance fi{};
        fi.f1 = fi.f2 = 70;
        fi.sharp = 6;
        fi.autoProfile = c.autoProfile;
        gpu_route_start(fi, 67, 67);
        ASSERT_NE(fi.gpu, nullptr) << "no context on the fake driver: is its device hidden?";
        std::vector<uint32_t> in = pixels, out(in.size());
        driver.reset();
        const FrameView src{reinterpret_cast<uint8_t*>(in.data()), 67 * 4, 67, 67};
        const FrameView dst{reinterpret_cast<uint8_t*>(out.data()), 67 * 4, 67, 67};
        EXPECT_TRUE(gpu_route_run_estimated(fi, c.estimate, src, dst));
        EXPECT_EQ(out, run_denoise(pixels, 67, 67, c.want)) << c.estimate << " autoProfile " << c.autoProfile;
        const std::string log = driver.log();
        EXPECT_EQ(log.find("cuLaunchKernel"), log.rfind("cuLaunchKernel")) << "one launch: no profile";
        EXPECT_EQ(fi.noiseSigma, 0.0f);
        gpu_route_end(fi);
    }
    // A frame the route can't take with no driver call failing is named as such.
    FilterInstance fi{};
    gpu_route_start(fi, 67, 67);
    const FrameView none{nullptr, 0, 0, 0};
    EXPECT_FALSE(gpu_route_run_estimated(fi, kGridSigma, none, none));
    EXPECT_STREQ(fi.gpuDeclineCall, "a frame the GPU route can't take");
    gpu_route_end(fi);
    gpu_context_pool_drain();
}

}  // namespace
}  // namespace orv::test
