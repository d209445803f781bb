// The module's GPU route on a real NVIDIA device, where the machine has one:
// random frames of every size class, every sharpness and mode, bit for bit
// against the kernel emulator. Elsewhere it skips, saying why.
#include <dlfcn.h>

#include <string>

#include "gpu/tests/gpu_route_fixture.h"

namespace orv::test {
namespace {

// Why the machine's driver cannot run the tier, or "" when it can.
std::string no_device_reason() {
    void* lib = dlopen("libcuda.so.1", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return "no NVIDIA driver (libcuda.so.1 not found)";
    std::string reason;
    using Init = int (*)(unsigned);
    using Count = int (*)(int*);
    const auto init = reinterpret_cast<Init>(dlsym(lib, "cuInit"));
    const auto count = reinterpret_cast<Count>(dlsym(lib, "cuDeviceGetCount"));
    int devices = 0;
    if (dlsym(lib, "fake_cuda_reset") != nullptr)
        reason = "libcuda.so.1 on the library path is the test fake, not a driver";
    else if (init == nullptr || count == nullptr)
        reason = "libcuda.so.1 lacks cuInit or cuDeviceGetCount";
    else if (init(0) != 0 || count(&devices) != 0 || devices == 0)
        reason = "the NVIDIA driver sees no device";
    dlclose(lib);
    return reason;
}

TEST(GpuDevice, OutputEqualsTheEmulatorsOnEverySizeAndSetting) {
    const std::string why = no_device_reason();
    if (!why.empty()) GTEST_SKIP() << why;

    RegisteredModule m;
    SplitMix64 rng{83};
    // Single pixels and rows, less than a block, whole blocks, a block and
    // one, odd sizes, and a CIF frame.
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {17, 1}, {1, 19}, {7, 5},    {16, 16},
                                                 {17, 17}, {64, 48}, {131, 75}, {352, 288}};
    for (const auto& [w, h] : sizes) {
        for (int32_t sharp = 0; sharp <= 6; ++sharp) {
            const Settings s{rng.range(0, 120), rng.range(0, 100), sharp, sharp & 1, sharp == 5};
            const int autoProfile = sharp % 3 != 2;
            TestFrame src(w, h, (sharp & 2) ? -w * 4 - 12 : w * 4), dst(w, h, w * 4);
            HostInstance in(m.host);
            ASSERT_EQ(in.init(), 0);
            apply(in, s);
            in.fields().autoProfile = autoProfile;
            ASSERT_EQ(in.start(src, dst), 0);
            if (in.fields().gpu == nullptr)
                GTEST_SKIP() << "the device cannot run the module's GPU code (older than sm_75, or an old driver)";
            float noiseSigma = 0.0f;
            for (int frame = 0; frame < 2; ++frame) {
                const auto pixels = random_picture(rng, w, h);
                src.fill(pixels);
                ASSERT_EQ(in.run(src, dst), 0);
                const auto want = expected_gpu_frame(pixels, w, h, s, autoProfile, src.pitch(), dst.pitch(), noiseSigma);
                EXPECT_EQ(in.fields().noiseSigma, noiseSigma);
                EXPECT_EQ(dst.packed(), want)
                    << w << "x" << h << " sharp " << sharp << " frame " << frame;
                EXPECT_TRUE(dst.canaries_intact());
            }
            EXPECT_EQ(in.end(), 0);
        }
    }
}

}  // namespace
}  // namespace orv::test
