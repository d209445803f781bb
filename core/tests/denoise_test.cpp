#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "test_support/frame_util.h"

namespace orv {
namespace {

using test::denoise;
using test::Settings;

std::vector<uint32_t> flat(int32_t w, int32_t h, uint32_t word) {
    return std::vector<uint32_t>(static_cast<size_t>(w) * h, word);
}

TEST(Denoise, FlatFrames) {
    const struct {
        uint32_t word;
        Settings s;
        uint32_t out;
    } rows[] = {
        {0x808080, {}, 0x7F7F7F},
        {0xFFFFFF, {}, 0xFEFFFF},
        {0x000000, {}, 0x000000},
        {0xFF123456, {}, 0x00123354},
        {0x808080, {0, 0, 6, 0, 0}, 0x808181},  // zero strengths: all structure
        {0x808080, {0, 0, 0, 0, 0}, 0x7F7F7F},
        {0x646464, {70, 70, 2, 0, 1}, 0x7F7F7F},  // show noise of an exact round trip
        {0x808080, {70, 70, 2, 0, 1}, 0x848484},
    };
    for (const auto& r : rows)
        for (auto [w, h] : {std::pair{1, 1}, std::pair{9, 1}, std::pair{1, 9}, std::pair{17, 13}}) {
            const auto out = denoise(flat(w, h, r.word), w, h, r.s);
            for (uint32_t p : out) ASSERT_EQ(p, r.out) << std::hex << r.word << " " << std::dec << w << "x" << h;
        }
}

std::vector<uint32_t> impulse(uint32_t bg, uint32_t centre) {
    auto f = flat(13, 13, bg);
    f[6 * 13 + 6] = centre;
    return f;
}

std::vector<uint32_t> row_span(const std::vector<uint32_t>& f, int row, int from, int to) {
    return std::vector<uint32_t>(f.begin() + row * 13 + from, f.begin() + row * 13 + to + 1);
}

TEST(Denoise, SmallImpulse) {
    const auto out = denoise(impulse(0x646464, 0x787878), 13, 13);
    EXPECT_EQ(out[6 * 13 + 6], 0x6E6B6Cu);
    EXPECT_EQ(row_span(out, 6, 3, 9),
              (std::vector<uint32_t>{0x646464, 0x656565, 0x656565, 0x6E6B6C, 0x656565, 0x656565, 0x646464}));
    const std::vector<uint32_t> beside{0x646464, 0x646464, 0x656565, 0x656565, 0x656565, 0x646464, 0x646464};
    EXPECT_EQ(row_span(out, 5, 3, 9), beside);
    EXPECT_EQ(row_span(out, 7, 3, 9), beside);
    Settings noise;
    noise.showNoise = 1;
    EXPECT_EQ(denoise(impulse(0x646464, 0x787878), 13, 13, noise)[6 * 13 + 6], 0xB1C0BBu);
}

TEST(Denoise, StrongImpulse) {
    Settings s{100, 100, 0, 0, 0};
    EXPECT_EQ(denoise(impulse(0, 0xFFFFFF), 13, 13, s)[6 * 13 + 6], 0xFEFFFFu);
    s.sharp = 2;
    const auto out = denoise(impulse(0, 0xFFFFFF), 13, 13, s);
    EXPECT_EQ(out[6 * 13 + 6], 0xFFFFFFu);
    EXPECT_EQ(out[6 * 13 + 5], 0x020202u);
}

TEST(Denoise, HeightOneSeesOnlyTheCentreVertically) {
    // Horizontal pairs are real (P = 200); the other six responses are c = 120.
    std::vector<uint32_t> f(13, 0x646464);
    f[6] = 0x787878;
    EXPECT_EQ(denoise(f, 13, 1)[6], rebuild_xrgb(0x787878, (2 * 100920 + 6 * 120) >> 16));
}

TEST(Denoise, Fields) {
    std::vector<uint32_t> f(400);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) f[y * 20 + x] = (y % 2 == 0) ? 0xC8C8C8 : 0x000000;
    Settings s;
    s.interlace = 1;
    EXPECT_EQ(denoise(f, 20, 20, s), f);
    s.interlace = -7;  // any non-zero value
    EXPECT_EQ(denoise(f, 20, 20, s), f);
    const auto out = denoise(f, 20, 20);
    EXPECT_EQ(out[10 * 20 + 10], 0xC9C9C9u);
    EXPECT_EQ(out[1 * 20 + 10], 0x040605u);
}

// An out-of-frame neighbour takes the centre value: the result at column i of a
// ramp equals the result at the same pixel of a frame padded with that value.
TEST(Denoise, BorderTakesTheCentreNotTheEdge) {
    std::vector<uint32_t> ramp(13);
    for (int x = 0; x < 13; ++x) ramp[x] = 0x0A0A0Au * static_cast<uint32_t>(x + 1);
    const auto out = denoise(ramp, 13, 1);
    for (int i = 0; i < 6; ++i) {
        std::vector<uint32_t> padded;
        for (int k = 0; k < 6 - i; ++k) padded.push_back(ramp[i]);
        padded.insert(padded.end(), ramp.begin(), ramp.end());
        const auto pout = denoise(padded, static_cast<int32_t>(padded.size()), 1);
        EXPECT_EQ(out[i], pout[6]) << "column " << i;
        // Clamping to the edge instead would differ at column 1 of this ramp.
    }
    EXPECT_NE(out[1], denoise(std::vector<uint32_t>{ramp[0], ramp[0], ramp[0], ramp[0], ramp[0], ramp[0],
                                                    ramp[1], ramp[2], ramp[3], ramp[4], ramp[5], ramp[6], ramp[7]},
                              13, 1)[6]);
}

// One bright pixel along each of the eight half-directions: at distance 6 (12
// rows with interlace) it changes the centre, one step further it doesn't. At
// distance 6 the two harmonics' weights nearly cancel, so a script-sized
// sharpening makes the structure visible in the correction.
TEST(Denoise, ReachOfEachDirection) {
    const int n = 41, cx = 20, cy = 20;
    const int dirs[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
    for (int interlace : {0, 1}) {
        Settings s;
        s.sharp = 100;
        s.interlace = interlace;
        const int step = interlace ? 2 : 1;
        const auto base = denoise(flat(n, n, 0x646464), n, n, s)[cy * n + cx];
        for (const auto& d : dirs) {
            for (int dist : {6, 7}) {
                auto f = flat(n, n, 0x646464);
                f[(cy + d[1] * step * dist) * n + cx + d[0] * dist] = 0xFFFFFF;
                const auto got = denoise(f, n, n, s)[cy * n + cx];
                if (dist == 6)
                    EXPECT_NE(got, base) << "dir " << d[0] << "," << d[1] << " interlace " << interlace;
                else
                    EXPECT_EQ(got, base) << "dir " << d[0] << "," << d[1] << " interlace " << interlace;
            }
        }
        if (interlace) {  // the other field is never seen
            for (int dy : {-11, -1, 1, 11}) {
                auto f = flat(n, n, 0x646464);
                f[(cy + dy) * n + cx] = 0xFFFFFF;
                EXPECT_EQ(denoise(f, n, n, s)[cy * n + cx], base) << dy;
            }
        }
    }
}

// Every rule treats left and right, and up and down, alike (the diagonals swap
// roles), and without interlace rows and columns alike. A slip in one
// direction's neighbour indexing breaks one of these.
TEST(Denoise, SymmetriesOnRandomFrames) {
    std::mt19937 rng(7);
    for (int iter = 0; iter < 12; ++iter) {
        const int w = 1 + static_cast<int>(rng() % 23), h = 1 + static_cast<int>(rng() % 19);
        const auto f = iter % 2 ? test::noisy_frame(rng, w, h) : test::random_frame(rng, w, h);
        Settings s{static_cast<int32_t>(rng() % 101), static_cast<int32_t>(rng() % 101),
                   static_cast<int32_t>(rng() % 7), static_cast<int32_t>(iter % 3 == 0), static_cast<int32_t>(iter % 4 == 1)};
        auto xform = [&](const std::vector<uint32_t>& in, int kind, int iw, int ih) {
            std::vector<uint32_t> o(in.size());
            for (int y = 0; y < ih; ++y)
                for (int x = 0; x < iw; ++x) {
                    const uint32_t v = in[y * iw + x];
                    if (kind == 0) o[y * iw + (iw - 1 - x)] = v;
                    if (kind == 1) o[(ih - 1 - y) * iw + x] = v;
                    if (kind == 2) o[x * ih + y] = v;
                }
            return o;
        };
        const auto out = denoise(f, w, h, s);
        EXPECT_EQ(xform(out, 0, w, h), denoise(xform(f, 0, w, h), w, h, s)) << "hflip " << iter;
        EXPECT_EQ(xform(out, 1, w, h), denoise(xform(f, 1, w, h), w, h, s)) << "vflip " << iter;
        if (!s.interlace) {
            EXPECT_EQ(xform(out, 2, w, h), denoise(xform(f, 2, w, h), h, w, s)) << "transpose " << iter;
        }
    }
}

// Each output word depends only on the source and the plane, so a pass over a
// garbage-filled output buffer and one over a clean one agree, and a frame cut
// into bands of rows gives the same words as the whole.
TEST(Denoise, OutputIndependentOfVisitOrder) {
    std::mt19937 rng(11);
    const int w = 29, h = 31;
    const auto f = test::noisy_frame(rng, w, h);
    std::vector<uint8_t> plane(f.size());
    build_luma_plane(f.data(), static_cast<int64_t>(f.size()), plane.data());
    FilterInstance fi{};
    fi.lumaPlane = plane.data();
    std::vector<uint32_t> a(f.size(), 0), b(f.size(), 0xFFFFFFFF);
    denoise_cpu(DenoiseJob{f.data(), a.data(), 70, 70, 2, 0, h, w, &fi});
    denoise_cpu(DenoiseJob{f.data(), b.data(), 70, 70, 2, 0, h, w, &fi});
    EXPECT_EQ(a, b);
}

TEST(Denoise, EmptyJobsTouchNothing) {
    std::vector<uint32_t> out(4, 0x12345678);
    FilterInstance fi{};
    const uint32_t src[4] = {};
    for (auto [w, h] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{-3, 2}, std::pair{2, -1}}) {
        denoise_cpu(DenoiseJob{src, out.data(), 70, 70, 2, 0, h, w, &fi});
        EXPECT_EQ(out, std::vector<uint32_t>(4, 0x12345678));
    }
}

// The top byte never reaches the output, with the dialog's settings and with
// script settings far outside its ranges, which wrap in 32 bits (the
// sanitizer build turns any undefined overflow here into a failure).
TEST(Denoise, TopByteNeverReachesOutputWhateverTheSettings) {
    std::mt19937 rng(3);
    const int32_t mn = -2147483647 - 1, mx = 2147483647;
    const Settings rows[] = {{},
                             {70, 70, 2, 0, 1},
                             {mn, mx, mx, -1, 0},
                             {mx, mn, mn, 0, 1},
                             {mn, mn, -1, 5, 0},
                             {-5, 300, 9, 2, 7},
                             {mx, mx, mx, mx, mx},
                             {-1, -1, mn, 1, 1}};
    for (const auto& s : rows) {
        const auto f = test::random_frame(rng, 19, 17, 0xFF000000);
        for (uint32_t p : denoise(f, 19, 17, s)) ASSERT_EQ(p >> 24, 0u);
    }
}

}  // namespace
}  // namespace orv
