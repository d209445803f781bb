// orv_kernel<16,16> on the emulator. Every run also checks that no thread
// wrote outside the frame's pixels (pitch padding, rows past the end).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "core/colour.h"
#include "core/denoise.h"
#include "test_support/frame_util.h"
#include "gpu/tests/kernel_runs.h"

namespace orv::test {
namespace {

constexpr KernelSettings kShow{70, 70, 2, 0, 1};

TEST(DenoiseKernel, FlatFrames) {
    const struct {
        uint32_t word;
        KernelSettings s;
        uint32_t out;
    } rows[] = {
        {0x808080, {}, 0x808080},
        {0xFFFFFF, {}, 0xFFFFFF},
        {0x000000, {}, 0x000000},
        {0xFF123456, {}, 0x00123456},  // the top byte is cleared
        {0x808080, {1, 0, 6, 0, 0}, 0x808080},
        {0x808080, {0, 1, 6, 0, 0}, 0x808080},
        {0x808080, kShow, 0x7F7F7F},
        {0xFF123456, kShow, 0x7F7F7F},
        // Zero strengths: every response with c >= 1 is structure, S = -1.
        {0x808080, {0, 0, 1, 0, 0}, 0x818181},
        {0x808080, {0, 0, 6, 0, 0}, 0x818181},
        {0x646464, {0, 0, 3, 0, 0}, 0x656565},
        {0xFF123456, {0, 0, 2, 0, 0}, 0x00133557},
        {0xFFFFFF, {0, 0, 6, 0, 0}, 0xFFFFFF},
        {0x000000, {0, 0, 6, 0, 0}, 0x000000},
        {0x808080, {0, 0, 4, 0, 1}, 0x7A7A7A},
        {0x808080, {0, 0, 0, 0, 0}, 0x808080},
        {0x808080, {0, 0, 0, 1, 0}, 0x808080},
    };
    // 17 x 1 runs two blocks, and only one thread of the second has a pixel.
    const std::pair<int, int> sizes[] = {{1, 1}, {17, 1}, {1, 17}, {20, 20}, {33, 17}};
    for (const auto& r : rows)
        for (auto [w, h] : sizes) {
            const auto out = run_denoise(flat(w, h, r.word), w, h, r.s);
            for (uint32_t p : out) ASSERT_EQ(p, r.out) << std::hex << r.word << std::dec << " " << w << "x" << h;
        }
    for (int sharp = 1; sharp <= 6; ++sharp)
        EXPECT_EQ(run_denoise(flat(3, 3, 0x808080), 3, 3, {0, 0, sharp, 0, 0})[4], 0x818181u) << sharp;
}

std::vector<uint32_t> impulse(uint32_t background, uint32_t centre) {
    auto f = flat(13, 13, background);
    f[6 * 13 + 6] = centre;
    return f;
}

std::vector<uint32_t> columns_3_to_9(const std::vector<uint32_t>& f, int row) {
    return std::vector<uint32_t>(f.begin() + row * 13 + 3, f.begin() + row * 13 + 10);
}

TEST(DenoiseKernel, SmallImpulse) {
    const auto out = run_denoise(impulse(0x646464, 0x787878), 13, 13);
    EXPECT_EQ(columns_3_to_9(out, 6),
              (std::vector<uint32_t>{0x646464, 0x656565, 0x656565, 0x6F6B6C, 0x656565, 0x656565, 0x646464}));
    const std::vector<uint32_t> beside{0x646464, 0x646464, 0x656565, 0x656565, 0x656565, 0x646464, 0x646464};
    EXPECT_EQ(columns_3_to_9(out, 5), beside);
    EXPECT_EQ(columns_3_to_9(out, 7), beside);
    EXPECT_EQ(run_denoise(impulse(0x646464, 0x787878), 13, 13, kShow)[6 * 13 + 6], 0xACC0BBu);
}

TEST(DenoiseKernel, StrongImpulse) {
    const struct {
        int sharp;
        uint32_t centre, left;
    } rows[] = {{0, 0xFFFFFF, 0x000000}, {2, 0xFFFFFF, 0x020202}};
    for (const auto& r : rows) {
        const auto out = run_denoise(impulse(0, 0xFFFFFF), 13, 13, {100, 100, r.sharp, 0, 0});
        EXPECT_EQ(out[6 * 13 + 6], r.centre) << r.sharp;
        EXPECT_EQ(out[6 * 13 + 5], r.left) << r.sharp;
    }
}

TEST(DenoiseKernel, FieldsAtTheFrameEdge) {
    std::vector<uint32_t> f(400);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) f[y * 20 + x] = y % 2 == 0 ? 0xC8C8C8 : 0;
    // Rows below the frame repeat row 19, which is black, so the even field
    // darkens towards the bottom and the correction brightens it.
    const uint32_t evenRows[10] = {0xC8C8C8, 0xC8C8C8, 0xC8C8C8, 0xC8C8C8, 0xC9C9C9,
                                   0xCACBCB, 0xCDCFCE, 0xCED1D0, 0xCED1D0, 0xCACBCB};
    const auto out = run_denoise(f, 20, 20, {70, 70, 2, 1, 0});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(out[y * 20 + x], y % 2 ? 0u : evenRows[y / 2]) << "row " << y << " column " << x;

    const auto progressive = run_denoise(f, 20, 20);
    EXPECT_EQ(progressive[10 * 20 + 10], 0xC9C9C9u);
    EXPECT_EQ(progressive[1 * 20 + 10], 0x000000u);
}

// The frame with its edges repeated: `left` columns and `top` rows before
// it, and enough after it to fill whole blocks beyond.
std::vector<uint32_t> edge_padded(const std::vector<uint32_t>& f, int w, int h, int left, int top, int W, int H) {
    std::vector<uint32_t> p(static_cast<size_t>(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            p[static_cast<size_t>(y) * W + x] = f[std::clamp(y - top, 0, h - 1) * w + std::clamp(x - left, 0, w - 1)];
    return p;
}

TEST(DenoiseKernel, PartialBlocksActAsEdgePaddedFrames) {
    std::mt19937 rng(7);
    const std::pair<int, int> sizes[] = {{17, 1}, {1, 17}, {31, 33}, {45, 7}, {5, 40}, {16, 16}};
    const std::pair<int, int> shifts[] = {{0, 0}, {3, 5}, {15, 1}, {8, 12}};
    for (auto [w, h] : sizes)
        for (int interlace : {0, 1}) {
            const auto f = noisy_frame(rng, w, h);
            const KernelSettings s{70, 70, 2, interlace, 0};
            const auto out = run_denoise(f, w, h, s);
            for (auto [left, top] : shifts) {
                const int W = left + w + 20, H = top + h + 30;
                const auto big = run_denoise(edge_padded(f, w, h, left, top, W, H), W, H, s);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(out[y * w + x], big[static_cast<size_t>(y + top) * W + x + left])
                            << w << "x" << h << " shifted " << left << "," << top << " at " << x << "," << y;
            }
        }
}

std::vector<uint32_t> upside_down(const std::vector<uint32_t>& f, int w, int h) {
    std::vector<uint32_t> r(f.size());
    for (int y = 0; y < h; ++y) std::copy_n(f.begin() + y * w, w, r.begin() + (h - 1 - y) * w);
    return r;
}

TEST(DenoiseKernel, UpsideDownFrameGivesUpsideDownOutput) {
    std::mt19937 rng(11);
    for (auto [w, h] : {std::pair{37, 29}, std::pair{16, 40}, std::pair{9, 1}})
        for (int interlace : {0, 1}) {
            const auto f = noisy_frame(rng, w, h);
            const KernelSettings s{70, 70, 2, interlace, 0};
            EXPECT_EQ(upside_down(run_denoise(f, w, h, s), w, h), run_denoise(upside_down(f, w, h), w, h, s))
                << w << "x" << h << " interlace " << interlace;
        }
}

TEST(DenoiseKernel, AnyNonZeroFlagActsAsOne) {
    std::mt19937 rng(3);
    const auto f = noisy_frame(rng, 24, 30);
    const auto interlaced = run_denoise(f, 24, 30, {70, 70, 2, 1, 0});
    const auto shown = run_denoise(f, 24, 30, {70, 70, 2, 0, 1});
    ASSERT_NE(interlaced, run_denoise(f, 24, 30));
    for (int v : {2, -1, 256, INT_MIN, INT_MAX}) {
        EXPECT_EQ(run_denoise(f, 24, 30, {70, 70, 2, v, 0}), interlaced) << v;
        EXPECT_EQ(run_denoise(f, 24, 30, {70, 70, 2, 0, v}), shown) << v;
    }
}

// The kernel's rules written plainly: device luma with clamped neighbours,
// the CPU core's decision, the device colour rebuild.
std::vector<uint32_t> reference(const std::vector<uint32_t>& f, int w, int h, const KernelSettings& s) {
    auto luma = [&](int x, int y) { return emu::device_luma(f[std::clamp(y, 0, h - 1) * w + std::clamp(x, 0, w - 1)]); };
    const int step = s.interlace != 0 ? 2 : 1;
    const int rowStep[4] = {0, step, step, step}, colStep[4] = {1, 0, 1, -1};
    const Strengths strengths = make_strengths(s.f1, s.f2, s.sharp);
    std::vector<uint32_t> out(f.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int32_t P[4][7] = {};
            for (int dir = 0; dir < 4; ++dir)
                for (int d = 1; d <= 6; ++d)
                    P[dir][d] = luma(x + colStep[dir] * d, y + rowStep[dir] * d) +
                                luma(x - colStep[dir] * d, y - rowStep[dir] * d);
            const uint32_t in = f[y * w + x];
            const uint32_t rebuilt = emu::device_rebuild(in, correction_from_pairs(luma(x, y), P, strengths));
            out[y * w + x] = s.showNoise != 0 ? show_noise_word(in, rebuilt) : rebuilt;
        }
    return out;
}

TEST(DenoiseKernel, MatchesThePlainRulesForAnySettings) {
    // Settings from scripts may be any integer: the products wrap, and the
    // sanitizer build proves that no step is undefined on the way.
    std::mt19937 rng(2024);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -1, 101, 6451, 1 << 24, INT_MAX};
    auto pick = [&](int lo, int hi) {
        const int r = static_cast<int>(rng() % 4);
        if (r == 0) return extremes[rng() % std::size(extremes)];
        if (r == 1) return static_cast<int>(rng());
        return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
    };
    for (int run = 0; run < 60; ++run) {
        const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 40);
        const auto f = run % 3 == 0 ? random_frame(rng, w, h, 0xFF000000u) : noisy_frame(rng, w, h);
        const KernelSettings s{pick(0, 100), pick(0, 100), pick(0, 6), pick(0, 1), pick(0, 1)};
        ASSERT_EQ(run_denoise(f, w, h, s), reference(f, w, h, s))
            << w << "x" << h << " f1 " << s.f1 << " f2 " << s.f2 << " sharp " << s.sharp << " interlace "
            << s.interlace << " showNoise " << s.showNoise;
    }
    const auto big = noisy_frame(rng, 200, 200);
    EXPECT_EQ(run_denoise(big, 200, 200), reference(big, 200, 200, {}));
}

}  // namespace
}  // namespace orv::test
