// The denoise of a plane of luma samples (GRAY and YUV clips) against the
// reference: at 8 bits the reference route's own decision on the plane, at
// 9-16 bits the decision worked in 64 bits, on every kernel set this
// processor runs; and the scale property that ties the depths together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/fast_route.h"
#include "core/luma_route.h"
#include "core/settings.h"

namespace orv {
namespace {

std::vector<const KernelSet*> sets_here() {
    std::vector<const KernelSet*> v;
    for (const KernelSet& s : kernel_sets())
        if (runs_here(s)) v.push_back(&s);
    return v;
}

// A plane of samples of `bits`, bytes or 16-bit words as the route reads them.
struct Plane {
    int32_t w, h, bits;
    std::vector<uint16_t> v;
    uint16_t& at(int32_t x, int32_t y) { return v[static_cast<size_t>(y) * w + x]; }
};

// Runs the route; the output row stride is one sample more than the width, so
// a write past a row shows.
std::vector<uint16_t> run(const Plane& in, const LumaSettings& s, const KernelSet& set, int* rc = nullptr) {
    const size_t bytes = in.bits == 8 ? 1 : 2;
    std::vector<uint8_t> src(in.v.size() * bytes), dst(static_cast<size_t>(in.w + 1) * in.h * bytes, 0xA5);
    for (size_t i = 0; i < in.v.size(); ++i)
        if (bytes == 1) src[i] = static_cast<uint8_t>(in.v[i]);
        else std::memcpy(&src[2 * i], &in.v[i], 2);
    LumaWorkspace ws;
    const LumaPlanes p{src.data(), static_cast<ptrdiff_t>(in.w * bytes), dst.data(),
                       static_cast<ptrdiff_t>((in.w + 1) * bytes), in.w, in.h, in.bits};
    const int r = run_luma_route(p, s, set, ws);
    if (rc != nullptr) *rc = r;
    std::vector<uint16_t> out(in.v.size());
    for (int32_t y = 0; y < in.h; ++y) {
        for (int32_t x = 0; x < in.w; ++x) {
            const uint8_t* at = &dst[(static_cast<size_t>(y) * (in.w + 1) + x) * bytes];
            if (bytes == 1) out[static_cast<size_t>(y) * in.w + x] = *at;
            else std::memcpy(&out[static_cast<size_t>(y) * in.w + x], at, 2);
        }
        for (size_t b = 0; b < bytes; ++b)
            EXPECT_EQ(dst[(static_cast<size_t>(y) * (in.w + 1) + in.w) * bytes + b], 0xA5) << "wrote past row " << y;
    }
    return out;
}

// The 8-bit reference: the reference route's corrections with the plane as
// its luma plane, then Y - S clamped, or the change shown around 127.
std::vector<uint16_t> reference8(const Plane& in, const LumaSettings& s) {
    std::vector<uint8_t> bytes(in.v.begin(), in.v.end());
    const kernels::PassConstants pc = kernels::make_pass_constants(s.f1, s.f2, s.sharp, s.interlace, 0);
    std::vector<uint16_t> out(in.v.size());
    std::vector<int32_t> S(static_cast<size_t>(in.w));
    for (int32_t j = 0; j < in.h; ++j) {
        kernels::corrections_row_reference(
            kernels::RowJob{bytes.data(), nullptr, in.w, in.h, j, nullptr, nullptr, pc, nullptr}, S.data());
        for (int32_t i = 0; i < in.w; ++i) {
            const int32_t y = bytes[static_cast<size_t>(j) * in.w + i], o = std::clamp(y - S[i], 0, 255);
            out[static_cast<size_t>(j) * in.w + i] =
                static_cast<uint16_t>(s.showNoise != 0 ? 127 + std::clamp(5 * (y - o), -127, 128) : o);
        }
    }
    return out;
}

// Plain Y - S at any depth with the 64-bit reference's corrections.
std::vector<uint16_t> reference_wide(const Plane& in, const LumaSettings& s) {
    const int32_t pad = kernels::kWideLinePad, stride = in.w + 2 * pad, step = s.interlace != 0 ? 2 : 1;
    std::vector<int32_t> lines(static_cast<size_t>(stride) * (in.h + 1), kernels::kWideOutside);
    for (int32_t y = 0; y < in.h; ++y)
        for (int32_t x = 0; x < in.w; ++x) lines[static_cast<size_t>(y) * stride + pad + x] = (in.v[y * in.w + x] >> 2) << 16 | (in.v[y * in.w + x] & 3);
    const int32_t m = 1 << (in.bits - 8), top = (1 << in.bits) - 1;
    std::vector<uint16_t> out(in.v.size());
    std::vector<int32_t> S(static_cast<size_t>(in.w));
    for (int32_t j = 0; j < in.h; ++j) {
        const int32_t* at[kernels::kLineCount];
        for (int t = 0; t < kernels::kLineCount; ++t) {
            const int32_t r = j + (t - 6) * step;
            at[t] = &lines[static_cast<size_t>(r >= 0 && r < in.h ? r : in.h) * stride + pad];
        }
        kernels::corrections_wide_row_reference(
            kernels::WideRowJob{at, in.w, 10 * s.f1 * m, 333 * s.f1 / 1000, 10 * s.f2 * m, 333 * s.f2 / 1000, s.sharp, 0},
            S.data());
        for (int32_t i = 0; i < in.w; ++i)
            out[static_cast<size_t>(j) * in.w + i] =
                static_cast<uint16_t>(std::clamp(in.v[static_cast<size_t>(j) * in.w + i] - S[i], 0, top));
    }
    return out;
}

// Smooth content with noise and edges, where decisions mix, at 8 bits.
Plane noisy8(std::mt19937& rng, int32_t w, int32_t h) {
    Plane p{w, h, 8, std::vector<uint16_t>(static_cast<size_t>(w) * h)};
    std::normal_distribution<double> n(0.0, rng() % 2 ? 4.0 : 12.0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            double v = 40 + 3.0 * x + 2.0 * y + n(rng) + ((x / 5 + y / 7) % 3 == 0 ? 90 : 0);
            p.at(x, y) = static_cast<uint16_t>(std::clamp(static_cast<int>(v) % 300, 0, 255));
        }
    return p;
}

LumaSettings random_settings(std::mt19937& rng) {
    const int32_t strengths[] = {0, 1, 3, 4, 23, 70, 99, 100};
    auto f = [&] { return rng() % 2 ? strengths[rng() % 8] : static_cast<int32_t>(rng() % 101); };
    return LumaSettings{f(), f(), static_cast<int32_t>(rng() % 7), static_cast<int32_t>(rng() % 2), 0};
}

std::string describe(const KernelSet& k, const Plane& p, const LumaSettings& s) {
    return std::string(k.name) + " " + std::to_string(p.w) + "x" + std::to_string(p.h) + " bits " +
           std::to_string(p.bits) + " f1 " + std::to_string(s.f1) + " f2 " + std::to_string(s.f2) + " sharp " +
           std::to_string(s.sharp) + " interlace " + std::to_string(s.interlace) + " show " +
           std::to_string(s.showNoise);
}

// Sizes around the vector widths and the reach of 6 (and 12 with interlace).
std::pair<int32_t, int32_t> random_size(std::mt19937& rng) {
    return {static_cast<int32_t>(1 + rng() % (rng() % 4 == 0 ? 200 : 40)), static_cast<int32_t>(1 + rng() % 30)};
}

TEST(LumaRoute, EightBitsAreTheReferenceRoutesDecision) {
    for (const KernelSet* k : sets_here()) {
        std::mt19937 rng(38);
        for (int n = 0; n < 300; ++n) {
            const auto [w, h] = random_size(rng);
            Plane p = noisy8(rng, w, h);
            if (n % 5 == 0)
                for (auto& v : p.v) v = static_cast<uint16_t>(rng() & 255);
            LumaSettings s = random_settings(rng);
            s.showNoise = n % 4 == 0;
            ASSERT_EQ(run(p, s, *k), reference8(p, s)) << describe(*k, p, s);
        }
    }
}

// Where both models meet: an RGB frame's luma plane as a GRAY clip makes the
// RGB route's decision, whose output is that frame rebuilt with the same S.
TEST(LumaRoute, GrayOfAnRgbFrameMakesTheRgbRoutesDecision) {
    std::mt19937 rng(5);
    for (int n = 0; n < 40; ++n) {
        const auto [w, h] = random_size(rng);
        const Plane grey = noisy8(rng, w, h);
        std::vector<uint32_t> rgb(grey.v.size());
        for (size_t i = 0; i < rgb.size(); ++i)  // mostly grey, some colour
            rgb[i] = grey.v[i] * 0x010101u ^ (n % 2 ? (rng() & 0x070307) : 0);
        Plane y{w, h, 8, std::vector<uint16_t>(rgb.size())};
        for (size_t i = 0; i < rgb.size(); ++i) y.v[i] = luma_byte(rgb[i]);
        const LumaSettings s = random_settings(rng);
        FilterInstance fi{};
        init_instance(fi, 1);
        fi.f1 = s.f1, fi.f2 = s.f2, fi.sharp = s.sharp, fi.interlace = s.interlace;
        std::vector<uint32_t> out(rgb.size());
        ASSERT_EQ(run_fast_route(fi, FrameView{reinterpret_cast<uint8_t*>(rgb.data()), 4 * w, w, h},
                                 FrameView{reinterpret_cast<uint8_t*>(out.data()), 4 * w, w, h}),
                  0);
        const auto got = run(y, s, best_kernel_set());
        for (size_t i = 0; i < rgb.size(); ++i) {
            if (got[i] > 0 && got[i] < 255) {  // unclamped: S is Y - Y'
                ASSERT_EQ(out[i], rebuild_xrgb(rgb[i], y.v[i] - got[i])) << "pixel " << i << " " << w << "x" << h;
            }
        }
        release_line_ring(fi);
        release_luma_plane(fi);
    }
}

TEST(LumaRoute, WideSamplesMatchTheReference) {
    for (const KernelSet* k : sets_here()) {
        std::mt19937 rng(16);
        for (int n = 0; n < 200; ++n) {
            const auto [w, h] = random_size(rng);
            const int32_t bits = 8 + static_cast<int32_t>(rng() % 9);
            Plane p = noisy8(rng, w, h);
            p.bits = bits;
            for (auto& v : p.v)
                v = static_cast<uint16_t>(n % 3 == 0 ? rng() % (1u << bits) : (v << (bits - 8)) + rng() % (1u << (bits - 8)));
            const LumaSettings s = random_settings(rng);
            ASSERT_EQ(run(p, s, *k), reference_wide(p, s)) << describe(*k, p, s);
        }
    }
}

// The extremes: checkerboards and stripes of 0 and 65535 (every R, E and
// structure product at its largest), with the settings at their limits and
// each sharp whose structure is taken in parts.
TEST(LumaRoute, SixteenBitExtremesMatchTheReference) {
    const std::vector<std::vector<int>> patterns = {{0, 1}, {1, 0}, {0, 0, 1, 1}, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}};
    for (const KernelSet* k : sets_here())
        for (const auto& pat : patterns)
            for (int32_t f1 : {0, 4, 100})
                for (int32_t f2 : {0, 100})
                    for (int32_t sharp : {0, 3, 5, 6})
                        for (int32_t interlace : {0, 1}) {
                            // Wide enough for chunks clear of both edges.
                            Plane p{140, 30, 16, std::vector<uint16_t>(4200)};
                            for (int32_t y = 0; y < p.h; ++y)
                                for (int32_t x = 0; x < p.w; ++x)
                                    p.at(x, y) = pat[(x + y * (pat.size() == 2 ? 1 : 0) + (x == 70 && y == 15)) %
                                                     pat.size()] != 0 ? 65535 : 0;
                            const LumaSettings s{f1, f2, sharp, interlace, 0};
                            ASSERT_EQ(run(p, s, *k), reference_wide(p, s)) << describe(*k, p, s);
                        }
}

// Samples 2^(bits-8) times an 8-bit plane's give the 8-bit result times
// 2^(bits-8), within one 8-bit step; and the result keeps the bits below it.
TEST(LumaRoute, DepthsScaleTheEightBitResult) {
    std::mt19937 rng(9);
    for (int32_t bits = 9; bits <= 16; ++bits) {
        const int32_t m = 1 << (bits - 8);
        bool finer = false;
        for (int n = 0; n < 30; ++n) {
            const auto [w, h] = random_size(rng);
            const Plane p8 = noisy8(rng, w, h);
            Plane p = p8;
            p.bits = bits;
            for (auto& v : p.v) v = static_cast<uint16_t>(v * m);
            const LumaSettings s = random_settings(rng);
            const auto want = run(p8, s, best_kernel_set()), got = run(p, s, best_kernel_set());
            for (size_t i = 0; i < got.size(); ++i) {
                ASSERT_LE(std::abs(got[i] - want[i] * m), m) << "bits " << bits << " pixel " << i;
                finer |= got[i] % m != 0;
            }
        }
        EXPECT_TRUE(finer) << "bits " << bits << ": every result a multiple of " << m;
    }
}

// Flat planes, where S = 8c >> 16, the show-noise picture on the plane's
// scale, and what the route refuses.
TEST(LumaRoute, FlatPlanesShowNoiseAndRefusals) {
    struct Row {
        int32_t bits, level;
        LumaSettings s;
        int rc;
        int32_t want;  // every sample; -1 for "untouched" (0xA5 bytes)
    };
    const Row rows[] = {
        {8, 255, {70, 70, 2, 0, 0}, 0, 255},
        {8, 100, {70, 70, 2, 0, 1}, 0, 127},
        {10, 1023, {70, 70, 2, 0, 0}, 0, 1023},
        {16, 65535, {70, 70, 2, 0, 0}, 0, 65528},       // S = 8*65535 >> 16 = 7
        {16, 65535, {70, 70, 2, 0, 1}, 0, 127 * 256 + 35},
        {16, 40000, {100, 100, 6, 1, 0}, 0, 40000 - (8 * 40000 >> 16)},
        {16, 32768, {0, 0, 6, 0, 0}, 0, 32769},  // all structure: S = 8*((-6*32768) >> 5) >> 16 = -1
        {8, 50, {101, 70, 2, 0, 0}, 1, -1},
        {8, 50, {70, -1, 2, 0, 0}, 1, -1},
        {12, 50, {70, 70, 7, 0, 0}, 1, -1},
        {12, 50, {70, 70, -1, 0, 0}, 1, -1},
        {17, 50, {70, 70, 2, 0, 0}, 1, -1},
        {7, 50, {70, 70, 2, 0, 0}, 1, -1},
    };
    for (const Row& r : rows) {
        Plane p{17, 9, r.bits, std::vector<uint16_t>(153, static_cast<uint16_t>(r.level))};
        int rc = -1;
        const auto got = run(p, r.s, best_kernel_set(), &rc);
        EXPECT_EQ(rc, r.rc) << r.bits << " " << r.level;
        const int32_t want = r.want >= 0 ? r.want : r.bits == 8 ? 0xA5 : 0xA5A5;
        for (uint16_t v : got) ASSERT_EQ(v, want) << "bits " << r.bits << " level " << r.level;
    }
}

}  // namespace
}  // namespace orv
