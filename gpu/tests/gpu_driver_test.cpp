// The module's life with the driver: nothing at load, the driver and the GPU
// code brought up once at the first operation, and let go at unload; a
// driver that fails while coming up leaves every frame to the CPU route.
#include "gpu/tests/gpu_route_fixture.h"

namespace orv::test {
namespace {

bool gpu_took(HostInstance& in, int32_t w, int32_t h) {
    TestFrame src(w, h, w * 4), dst(w, h, w * 4);
    src.fill_words(0x808080);
    if (in.run(src, dst) != 0) return false;
    return dst.packed() == std::vector<uint32_t>(static_cast<size_t>(w) * h, 0x808080);
}

TEST(GpuDriver, UpAtTheFirstOperationAndReleasedAtUnload) {
    FakeDriver d;
    {
        RegisteredModule m;
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        EXPECT_EQ(d.log(), "") << "loading and registering needs no driver";

        TestFrame src(16, 16, 64);
        ASSERT_EQ(in.start(src), 0);
        EXPECT_EQ(log_lines(d.log(), {"cuInit", "cuDeviceGet", "cuDevicePrimaryCtxRetain", "cuModuleLoadData",
                                      "cuModuleGetFunction", "cuStreamCreate"}),
                  (std::vector<std::string>{"cuInit flags=0", "cuDeviceGet ordinal=0",
                                            "cuDevicePrimaryCtxRetain device=0", "cuModuleLoadData",
                                            std::string("cuModuleGetFunction ") + emu::kDenoiseKernelName,
                                            std::string("cuModuleGetFunction ") + emu::kProfileKernelName,
                                            "cuStreamCreate flags=1"}));
        EXPECT_TRUE(gpu_took(in, 16, 16));
        EXPECT_EQ(in.end(), 0);
        EXPECT_EQ(d.live("modules"), 1);
        EXPECT_EQ(d.live("context_refs"), 1);
        d.reset();
    }
    EXPECT_EQ(log_lines(d.log(), {"cuModuleUnload", "cuDevicePrimaryCtxRelease"}),
              (std::vector<std::string>{"cuModuleUnload", "cuDevicePrimaryCtxRelease device=0"}));
    EXPECT_EQ(d.live("modules"), 0);
    EXPECT_EQ(d.live("context_refs"), 0);
    EXPECT_EQ(d.current_depth(), 0);
}

// A driver that fails while coming up is not asked again during the module's
// life. Without a context nothing runs on the GPU; without the GPU code the
// frames are uploaded, their launches fail, and they take the CPU route.
TEST(GpuDriver, FailuresWhileComingUp) {
    FakeDriver d;
    const struct {
        const char* entry;
        int nth;
        bool context;
    } points[] = {
        {"cuInit", 1, false},
        {"cuDeviceGet", 1, false},
        {"cuDevicePrimaryCtxRetain", 1, false},
        {"cuModuleLoadData", 1, true},
        {"cuModuleGetFunction", 1, true},
        {"cuModuleGetFunction", 2, true},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(std::string(p.entry) + " #" + std::to_string(p.nth));
        d.reset();
        d.fail_call(p.entry, p.nth, 999);
        {
            RegisteredModule m;
            for (int instance = 0; instance < 2; ++instance) {
                HostInstance in(m.host);
                ASSERT_EQ(in.init(), 0);
                TestFrame src(67, 67, 67 * 4), dst(67, 67, 67 * 4);
                const auto pixels = grid_pattern(67, 67);
                src.fill(pixels);
                ASSERT_EQ(in.start(src, dst), 0);
                EXPECT_EQ(in.fields().gpu != nullptr, p.context);
                ASSERT_EQ(in.run(src, dst), 0);
                EXPECT_EQ(dst.packed(), denoise(pixels, 67, 67));
                EXPECT_EQ(in.fields().noiseSigma, 0.0f);
                EXPECT_FALSE(gpu_took(in, 20, 20));
                EXPECT_EQ(in.end(), 0);
            }
            EXPECT_EQ(d.calls("cuInit"), 1);
            EXPECT_EQ(d.calls("cuLaunchKernel"), 0);
            // Each frame on a context was uploaded for the profile and for
            // the denoise before its launch failed.
            EXPECT_EQ(d.calls("cuMemcpy2DAsync_v2"), p.context ? 8 : 0);
            EXPECT_EQ(d.live("modules"), 0);
            EXPECT_EQ(d.live("context_refs"), p.context ? 1 : 0);
        }
        EXPECT_EQ(d.live("context_refs"), 0);
        EXPECT_EQ(d.live("allocations"), 0);
    }
}

}  // namespace
}  // namespace orv::test
