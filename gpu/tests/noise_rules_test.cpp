// The noise estimate's smoothing across frames, the settings it adapts, and
// the sigma a profile's counters give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "gpu/noise_profile.h"
#include "gpu/noise_rules.h"

namespace orv {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
const float kGridSigma = 10.026507f;  // 8 / 0.797885 in single precision

TEST(SmoothingRule, FirstEstimateIsTakenAndLaterOnesBlend) {
    const struct {
        float noiseSigma, sigma, want;
    } cases[] = {
        {0.0f, kGridSigma, kGridSigma},  // no estimate yet
        {-3.0f, 7.5f, 7.5f},             // 0 or below means none yet
        {10.0f, 20.0f, 13.5f},
        {10.0f, 0.0f, 6.5f},             // a profile with too few samples still counts
        {kGridSigma, kGridSigma, kGridSigma},
    };
    for (const auto& c : cases)
        EXPECT_EQ(smoothing_rule(c.noiseSigma, c.sigma), c.want) << c.noiseSigma << " and " << c.sigma;
}

TEST(AdaptationRule, BoostAndSharpeningCapFollowTheNoise) {
    const float belowQuarter = std::nextafter(0.25f, 0.0f);
    const float aboveEight = std::nextafter(8.0f, 100.0f);
    const struct {
        float s;
        int32_t boost, sharpOf6;
    } cases[] = {
        {0.0f, 0, 6},
        {-5.0f, 0, 6},
        // (s + s) + 0.5 is a tie between the float below 1 and 1.0, and
        // single precision rounds it to 1.0.
        {belowQuarter, 1, 6},
        {0.25f, 1, 6},
        {1.0f, 2, 6},
        {8.0f, 16, 6},
        {aboveEight, 16, 3},
        {kGridSigma, 20, 3},
        {15.0f, 30, 3},
        {15.5f, 31, 2},
        {22.25f, 45, 2},
        {60.0f, 45, 2},
    };
    for (const auto& c : cases) {
        const AdaptedSettings a = adaptation_rule(c.s, 10, 20, 6);
        EXPECT_EQ(a.f1, 10 + c.boost) << "s = " << c.s;
        EXPECT_EQ(a.f2, 20 + c.boost) << "s = " << c.s;
        EXPECT_EQ(a.sharp, c.sharpOf6) << "s = " << c.s;
    }
}

TEST(AdaptationRule, StrengthsStopAt100AndSmallSharpeningStays) {
    const struct {
        float s;
        int32_t f1, f2, sharp;
        AdaptedSettings want;
    } cases[] = {
        {kGridSigma, 70, 70, 2, {90, 90, 2}},
        {kGridSigma, 90, 81, 6, {100, 100, 3}},
        {0.0f, 300, 100, 9, {100, 100, 9}},          // scripted values above 100 come down
        {1.0f, kMax, kMax - 1, 0, {100, 100, 0}},    // no overflow near the top
        {22.25f, kMax, 56, 1, {100, 100, 1}},
        {22.25f, kMin, -50, -4, {kMin + 45, -5, -4}},
    };
    for (const auto& c : cases) {
        const AdaptedSettings a = adaptation_rule(c.s, c.f1, c.f2, c.sharp);
        EXPECT_EQ(a.f1, c.want.f1) << c.f1 << " at s = " << c.s;
        EXPECT_EQ(a.f2, c.want.f2) << c.f2 << " at s = " << c.s;
        EXPECT_EQ(a.sharp, c.want.sharp) << c.sharp << " at s = " << c.s;
    }
}

TEST(NoiseSigma, FromTheProfileCounters) {
    const struct {
        unsigned long long sum;
        unsigned int count;
        float want;
    } cases[] = {
        {512, 64, kGridSigma},    // the 67 x 67 grid pattern
        {4608, 576, kGridSigma},  // the same in 200 x 200
        {0, 64, 0.0f},
        {500, 63, 0.0f},           // too few samples
        {0, 0, 0.0f},
        {64 * 100, 64, 60.0f},     // above 60 is stored as 60
        {~0ull, ~0u, 60.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(noise_sigma_from(c.sum, c.count), c.want) << c.sum << " / " << c.count;
}

TEST(WindowedSigma, FoldsTheWindowFromNoEstimate) {
    using enum ProfileState;
    const std::vector<FrameProfile> clip = {{10.0f, Measured}, {20.0f, Measured}, {0.0f, Failed},
                                            {0.0f, Measured},  {9.0f, Unknown},   {8.0f, Measured}};
    // Frame 0 at 60 and 33 frames of 0 after it: frame 0 is still in frame
    // 32's window and gone from frame 33's.
    std::vector<FrameProfile> fading(34, FrameProfile{0.0f, Measured});
    fading[0].sigma = 60.0f;
    float faded = 60.0f;
    for (int i = 0; i < 32; ++i) faded *= 0.65f;
    const struct {
        const std::vector<FrameProfile>& profiles;
        int32_t n, window;
        float want;
    } cases[] = {
        {clip, 0, kSigmaWindow, 10.0f},
        {clip, 1, kSigmaWindow, 13.5f},
        {clip, 2, kSigmaWindow, 13.5f},                // a failed profile leaves it
        {clip, 3, kSigmaWindow, 13.5f * 0.65f},        // too few samples still counts
        {clip, 4, kSigmaWindow, 13.5f * 0.65f},        // unknown: as failed
        {clip, 5, kSigmaWindow, 8.0f * 0.35f + (13.5f * 0.65f) * 0.65f},
        {clip, 9, kSigmaWindow, 8.0f * 0.35f + (13.5f * 0.65f) * 0.65f},  // frames past the end
        {clip, 1, 0, 20.0f},                           // the frame's own alone
        {clip, 2, 0, 0.0f},
        {clip, 5, 2, 8.0f},                            // a sigma of 0 is no estimate yet
        {clip, 5, 4, 8.0f * 0.35f + 13.0f * 0.65f},    // from frame 1
        {fading, 32, kSigmaWindow, faded},
        {fading, 33, kSigmaWindow, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowed_sigma(c.profiles, c.n, c.window), c.want) << "frame " << c.n << ", window " << c.window;
}

}  // namespace
}  // namespace orv
