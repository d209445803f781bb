#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/fast_route.h"
#include "vapoursynth/xrgb_pack.h"

namespace orv::vs {
namespace {

// Every packing this processor runs against the pixel-at-a-time one, both
// ways, on random rows of widths around each vector step, at odd addresses;
// the bytes past the row stay as they were.
TEST(XrgbPack, EveryPackingGivesTheReferenceRows) {
    std::mt19937 rng(28);
    auto bytes = [&](size_t n) {
        std::vector<uint8_t> v(n);
        for (auto& b : v) b = static_cast<uint8_t>(rng());
        return v;
    };
    constexpr int32_t kPast = 70, kAt = 3;
    std::string notRun;
    for (const KernelSet& set : kernel_sets()) {
        if (!runs_here(set)) {
            notRun += std::string(notRun.empty() ? "" : ", ") + set.name + " (" + xrgb_pack_for(set).name + ")";
            continue;
        }
        const XrgbPack& p = xrgb_pack_for(set);
        for (const int32_t w : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 127, 150, 1921}) {
            SCOPED_TRACE(std::string(set.name) + " (" + p.name + ") width " + std::to_string(w));
            const size_t n = static_cast<size_t>(w + kAt + kPast);
            std::vector<uint8_t> r = bytes(n), g = bytes(n), b = bytes(n);
            std::vector<uint32_t> want(n, 0xA5A5A5A5u), got = want;
            pack_xrgb_row_reference(&r[kAt], &g[kAt], &b[kAt], &want[kAt], w);
            p.pack(&r[kAt], &g[kAt], &b[kAt], &got[kAt], w);
            EXPECT_EQ(got, want);

            std::vector<uint32_t> words(n);
            for (auto& v : words) v = static_cast<uint32_t>(rng());
            std::vector<uint8_t> planes[2][3];
            for (auto& side : planes)
                for (auto& plane : side) plane.assign(n, 0x5A);
            unpack_xrgb_row_reference(&words[kAt], &planes[0][0][kAt], &planes[0][1][kAt], &planes[0][2][kAt], w);
            p.unpack(&words[kAt], &planes[1][0][kAt], &planes[1][1][kAt], &planes[1][2][kAt], w);
            for (int c = 0; c < 3; ++c) EXPECT_EQ(planes[1][c], planes[0][c]) << "channel " << "RGB"[c];
        }
    }
    std::printf("xrgb_pack: not run, the processor lacks them: %s\n", notRun.empty() ? "none" : notRun.c_str());
}

// Each kernel set with the packing of its own vector width, whether or not
// this processor runs it: a set with a narrower packing leaves speed behind,
// a wider one faults on the processors the set was chosen for.
TEST(XrgbPack, EveryKernelSetHasThePackingOfItsWidth) {
    const struct {
        std::string_view set, pack;
    } rows[] = {
        {"reference", "sse2"}, {"sse41", "sse2"},     {"avx2", "avx2"},
        {"avx2vnni", "avx2"},  {"avx512", "avx512"}, {"avx512vnni", "avx512"},
    };
    ASSERT_EQ(kernel_sets().size(), std::size(rows)) << "a kernel set without a row here";
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(std::string_view(kernel_sets()[i].name), rows[i].set);
        EXPECT_EQ(std::string_view(xrgb_pack_for(kernel_sets()[i]).name), rows[i].pack) << rows[i].set;
    }
}

}  // namespace
}  // namespace orv::vs
