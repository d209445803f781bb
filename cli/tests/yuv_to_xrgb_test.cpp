// The direct YUV reader and writer against their double-precision references
// on random pictures: every layout, matrix, range, siting and odd size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "cli/frames/yuv_rows.h"
#include "cli/frames/yuv_to_xrgb.h"

namespace {

TEST(YuvToXrgb, MatchesTheReference) {
    std::mt19937 rng(7);
    const struct {
        int sx, sy;
        double kr, kb;
        bool full, centred;
        int w, h;
    } rows[] = {
        {1, 1, 0.2126, 0.0722, false, false, 37, 21}, {1, 1, 0.299, 0.114, true, true, 81, 9},
        {1, 0, 0.2627, 0.0593, false, false, 33, 5},  {0, 0, 0.2126, 0.0722, true, false, 7, 3},
        {1, 1, 0.299, 0.114, false, true, 1, 1},
    };
    for (const auto& r : rows) {
        const int cw = (r.w + r.sx) >> r.sx, ch = (r.h + r.sy) >> r.sy;
        const ptrdiff_t pad = 5;  // pitches wider than the rows
        std::vector<uint8_t> y(static_cast<size_t>((r.w + pad) * r.h)), u(static_cast<size_t>((cw + pad) * ch)),
            v(u.size());
        for (auto* plane : {&y, &u, &v})
            for (auto& b : *plane) b = static_cast<uint8_t>(rng());
        const orv::cli::YuvPicture p{{y.data(), u.data(), v.data()}, {r.w + pad, cw + pad, cw + pad}, r.w, r.h,
                                     r.sx, r.sy, r.kr, r.kb, r.full, r.centred};
        std::vector<uint32_t> fast(static_cast<size_t>(r.w * r.h)), ref(fast.size());
        orv::cli::yuv_to_xrgb(p, fast.data(), r.w * 4);
        orv::cli::yuv_to_xrgb_reference(p, ref.data(), r.w * 4);
        // Fixed point may land one level off right at a rounding boundary, rarely.
        int off = 0;
        for (size_t i = 0; i < fast.size(); ++i)
            for (int shift : {0, 8, 16}) {
                const int a = (fast[i] >> shift) & 0xFF, b = (ref[i] >> shift) & 0xFF;
                ASSERT_LE(std::abs(a - b), 1) << "pixel " << i;
                off += a != b;
            }
        EXPECT_LE(off * 100, static_cast<int>(fast.size()) * 3) << r.w << "x" << r.h;
        for (uint32_t px : fast) ASSERT_EQ(px >> 24, 0u);

        // And back, from the random colours just made.
        std::vector<uint8_t> y2(y.size()), u2(u.size()), v2(v.size()), y3(y.size()), u3(u.size()), v3(v.size());
        orv::cli::YuvPicture a = p, b = p;
        a.plane[0] = y2.data(), a.plane[1] = u2.data(), a.plane[2] = v2.data();
        b.plane[0] = y3.data(), b.plane[1] = u3.data(), b.plane[2] = v3.data();
        orv::cli::xrgb_to_yuv(ref.data(), r.w * 4, a);
        orv::cli::xrgb_to_yuv_reference(ref.data(), r.w * 4, b);
        int offBack = 0;
        for (const auto& [f, s] : {std::pair{&y2, &y3}, std::pair{&u2, &u3}, std::pair{&v2, &v3}})
            for (size_t i = 0; i < f->size(); ++i) {
                ASSERT_LE(std::abs((*f)[i] - (*s)[i]), 1) << "sample " << i;
                offBack += (*f)[i] != (*s)[i];
            }
        EXPECT_LE(offBack * 100, static_cast<int>(y.size()) * 3) << r.w << "x" << r.h;
    }
}

}  // namespace

namespace {

// Every vector set against the scalar conversions, byte for byte, both ways,
// on random pictures: sizes across the vectors' widths and their tails,
// every subsampling, siting, range and matrix `orv` reads, pitches wider
// than the rows whose padding must stay untouched, and a top byte the way
// back ignores.
TEST(YuvToXrgb, EverySetGivesTheScalarBytes) {
    std::mt19937 rng(11);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const double matrices[][2] = {{0.2126, 0.0722}, {0.299, 0.114}, {0.2627, 0.0593}, {0.212, 0.087}, {0.30, 0.11}};
    const int layouts[][2] = {{1, 1}, {1, 0}, {0, 0}};
    for (int round = 0; round < 300; ++round) {
        const auto& layout = layouts[round % 3];
        const auto& m = matrices[pick(0, 4)];
        const int w = pick(1, 100), h = pick(1, 7), sx = layout[0], sy = layout[1];
        const int cw = (w + sx) >> sx, ch = (h + sy) >> sy;
        const int padY = pick(0, 9), padC = pick(0, 9), padX = pick(0, 3);
        std::vector<uint8_t> planes[3] = {std::vector<uint8_t>(static_cast<size_t>((w + padY) * h)),
                                          std::vector<uint8_t>(static_cast<size_t>((cw + padC) * ch)),
                                          std::vector<uint8_t>(static_cast<size_t>((cw + padC) * ch))};
        for (auto& plane : planes)
            for (auto& b : plane) b = static_cast<uint8_t>(rng());
        const orv::cli::YuvPicture p{{planes[0].data(), planes[1].data(), planes[2].data()}, {w + padY, cw + padC, cw + padC},
                                     w, h, sx, sy, m[0], m[1], pick(0, 1) == 1, pick(0, 1) == 1};
        const ptrdiff_t pitch = (w + padX) * 4;
        const size_t words = static_cast<size_t>((w + padX) * h);
        std::vector<uint32_t> want(words, 0xA5A5A5A5u);
        orv::cli::yuv_to_xrgb_scalar(p, want.data(), pitch);
        std::vector<uint32_t> rgb(words);  // the way back's source: random, top byte too
        for (auto& px : rgb) px = static_cast<uint32_t>(rng());
        std::vector<uint8_t> back[3] = {planes[0], planes[1], planes[2]};
        for (auto& plane : back) std::fill(plane.begin(), plane.end(), 0x5A);
        orv::cli::YuvPicture b = p;
        for (int i = 0; i < 3; ++i) b.plane[i] = back[i].data();
        orv::cli::xrgb_to_yuv_scalar(rgb.data(), pitch, b);
        for (const auto& set : orv::cli::yuv_conversions()) {
            if (!set.runs) continue;
            SCOPED_TRACE(testing::Message() << set.name << " " << w << "x" << h << " " << sx << sy << " full " << p.fullRange
                                            << " centred " << p.chromaCentred);
            std::vector<uint32_t> got(words, 0xA5A5A5A5u);
            set.toXrgb(p, got.data(), pitch);
            ASSERT_EQ(got, want);
            std::vector<uint8_t> gotBack[3] = {planes[0], planes[1], planes[2]};
            for (auto& plane : gotBack) std::fill(plane.begin(), plane.end(), 0x5A);
            orv::cli::YuvPicture g = p;
            for (int i = 0; i < 3; ++i) g.plane[i] = gotBack[i].data();
            set.toYuv(rgb.data(), pitch, g);
            for (int i = 0; i < 3; ++i) ASSERT_EQ(gotBack[i], back[i]) << "plane " << i;
        }
    }
}

// The cap on the module's kernels caps the conversions the same way; the
// expectation from the compiler's own reading of the processor.
TEST(YuvToXrgb, KernelSetCapPicksTheSet) {
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
    const char* best = avx512 ? "avx512" : avx2 ? "avx2" : "scalar";
    const struct {
        const char* cap;
        const char* set;
    } rows[] = {
        {nullptr, best}, {"avx512vnni", best}, {"avx512", best}, {"unknown", best},
        {"avx2vnni", avx2 ? "avx2" : "scalar"}, {"avx2", avx2 ? "avx2" : "scalar"},
        {"sse41", "scalar"}, {"reference", "scalar"},
    };
    for (const auto& r : rows) EXPECT_STREQ(orv::cli::yuv_conversion_for(r.cap).name, r.set) << (r.cap ? r.cap : "none");
    // The conversions take the cap from the environment at their first call:
    // a fresh process (not a fork of this one, which has made that call).
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((setenv("ORV_KERNEL_SET", "sse41", 1),
                 std::exit(std::strcmp(orv::cli::yuv_conversion_in_use().name, "scalar") == 0 ? 0 : 1)),
                testing::ExitedWithCode(0), "");
}

// The vector sets take luma from a line through the table, where one gives
// every entry: it must exist for both ranges (else they fall back to the
// scalar conversions, unseen), and a table no line fits must get none.
TEST(YuvToXrgb, LumaLineGivesEveryEntry) {
    for (const int kink : {0, 2}) {
        for (const bool full : {false, true}) {
            int32_t table[256];
            orv::cli::luma_table(full, table);
            table[128] += kink;
            const auto line = orv::cli::luma_line(table);
            ASSERT_EQ(line.has_value(), kink == 0) << "full " << full << " kink " << kink;
            if (!line) continue;
            for (int y = 0; y < 256; ++y)
                ASSERT_EQ(y * line->a + ((y * line->m + line->c) >> 16) + line->b, table[y]) << "full " << full << " Y " << y;
        }
    }
}

}  // namespace
