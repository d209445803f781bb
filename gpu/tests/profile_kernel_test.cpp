// orv_profile_sigma_kernel on the emulator: the sampling grid, the flatness
// test and the accumulated deviations.
#include <gtest/gtest.h>

#include "gpu/tests/kernel_runs.h"

namespace orv::test {
namespace {

TEST(ProfileKernel, SamplePointsOfFlatFrames) {
    const struct {
        int w, h;
        unsigned count;
    } rows[] = {
        {1, 1, 0},  {10, 200, 0}, {200, 10, 0}, {11, 11, 1},    {66, 66, 49},
        {67, 67, 64}, {67, 66, 56}, {131, 20, 32}, {200, 200, 576}, {300, 140, 37 * 17},
    };
    for (const auto& r : rows) {
        const Profile p = run_profile(flat(r.w, r.h, 0x646464), r.w, r.h);
        EXPECT_EQ(p.count, r.count) << r.w << "x" << r.h;
        EXPECT_EQ(p.sum, 0u) << r.w << "x" << r.h;
    }
}

TEST(ProfileKernel, GridPattern) {
    for (auto [size, sum, count] : {std::tuple{67, 512ull, 64u}, std::tuple{200, 4608ull, 576u}}) {
        const Profile p = run_profile(grid_pattern(size, size), size, size);
        EXPECT_EQ(p.sum, sum) << size;
        EXPECT_EQ(p.count, count) << size;
    }
}

TEST(ProfileKernel, GradientOfTenIsFlat) {
    // Greys raise the east and south neighbours of every sample point.
    const struct {
        int east, south;
        unsigned count;
        unsigned long long sum;  // per sample: |100 - (900 + east + south + 4) / 9|
    } rows[] = {
        {10, 0, 64, 64},  {11, 0, 0, 0},  {0, 10, 64, 64}, {0, 11, 0, 0},
        {5, 5, 64, 64},   {5, 6, 0, 0},   {-10, 0, 64, 64}, {-11, 0, 0, 0},
    };
    for (const auto& r : rows) {
        auto f = flat(67, 67, 0x646464);
        for (int y = 8; y < 65; y += 8)
            for (int x = 8; x < 65; x += 8) {
                f[static_cast<size_t>(y) * 67 + x + 1] = static_cast<uint32_t>(100 + r.east) * 0x010101u;
                f[static_cast<size_t>(y + 1) * 67 + x] = static_cast<uint32_t>(100 + r.south) * 0x010101u;
            }
        const Profile p = run_profile(f, 67, 67);
        EXPECT_EQ(p.count, r.count) << r.east << " " << r.south;
        EXPECT_EQ(p.sum, r.sum) << r.east << " " << r.south;
    }
}

TEST(ProfileKernel, OnlyAddsToTheCounters) {
    const Profile p = run_profile(flat(67, 67, 0x646464), 67, 67, Profile{1000, 7});
    EXPECT_EQ(p.sum, 1000u);
    EXPECT_EQ(p.count, 71u);
}

}  // namespace
}  // namespace orv::test
