// The direct YUV reader and writer against their double-precision references
// on random pictures: every layout, matrix, range, siting and odd size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

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
