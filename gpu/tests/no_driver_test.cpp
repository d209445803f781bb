// The module on a machine without an NVIDIA driver: no instance gets a GPU
// context, and every frame is the CPU route's, whatever autoProfile says.
#include <gtest/gtest.h>

#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv::test {
namespace {

TEST(NoDriver, EveryFrameTakesTheCpuRoute) {
    RegisteredModule m;
    SplitMix64 rng{51};
    const struct {
        int32_t w, h;
        ptrdiff_t srcPitch, dstPitch;
        int autoProfile;
    } cases[] = {
        {67, 67, 67 * 4, 67 * 4, 1},        {67, 67, -67 * 4 - 8, 67 * 4, 0},
        {33, 21, 33 * 4 + 12, -33 * 4, 1},  {17, 1, -17 * 4, -17 * 4 - 4, 1},
        {1, 9, 4, 4, 0},
    };
    for (const auto& c : cases) {
        const Settings s{rng.range(0, 100), rng.range(0, 100), rng.range(0, 6), rng.range(0, 1), 0};
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        apply(in, s);
        in.fields().autoProfile = c.autoProfile;
        TestFrame src(c.w, c.h, c.srcPitch), dst(c.w, c.h, c.dstPitch);
        ASSERT_EQ(in.start(src, dst), 0);
        EXPECT_EQ(in.fields().gpu, nullptr);
        for (int frame = 0; frame < 2; ++frame) {
            const auto pixels = random_picture(rng, c.w, c.h);
            src.fill(pixels);
            ASSERT_EQ(in.run(src, dst), 0);
            EXPECT_EQ(dst.packed(), expected_output(pixels, c.w, c.h, s, src.pitch(), dst.pitch()))
                << c.w << "x" << c.h << " frame " << frame;
            EXPECT_TRUE(dst.canaries_intact());
        }
        EXPECT_EQ(in.fields().noiseSigma, 0.0f);
        EXPECT_EQ(in.end(), 0);
        EXPECT_EQ(in.fields().gpu, nullptr);
    }
}

#ifdef _WIN32
bool planted_dll_loaded() {
    char value[4];
    return GetEnvironmentVariableA("ORV_PLANTED_NVCUDA_LOADED", value, sizeof value) != 0;
}

// The driver is looked for in the system folder only: an nvcuda.dll beside
// the host program (or a video) is never loaded into the editor.
TEST(NoDriver, APlantedDriverIsNeverLoaded) {
    ASSERT_FALSE(planted_dll_loaded());
    {
        RegisteredModule m;
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        TestFrame src(16, 16, 64);
        ASSERT_EQ(in.start(src), 0);
        EXPECT_EQ(in.fields().gpu, nullptr);
        EXPECT_EQ(in.end(), 0);
    }
    EXPECT_FALSE(planted_dll_loaded());
    // The plant is where the default search order looks first.
    HMODULE plant = LoadLibraryA("nvcuda.dll");
    ASSERT_NE(plant, nullptr);
    EXPECT_TRUE(planted_dll_loaded());
    FreeLibrary(plant);
}
#endif

}  // namespace
}  // namespace orv::test
