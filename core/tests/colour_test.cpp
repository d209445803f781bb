#include <gtest/gtest.h>

#include "core/colour.h"

namespace orv {
namespace {

TEST(Colour, LumaBytes) {
    const struct {
        uint32_t word;
        int luma;
    } rows[] = {{0xFFFFFF, 255}, {0x808080, 127}, {0x787878, 120}, {0x646464, 100}, {0xFF0000, 76},
                {0x00FF00, 149}, {0x0000FF, 29},  {0xFF123456, 45}, {0x000000, 0}};
    for (const auto& r : rows) EXPECT_EQ(luma_byte(r.word), r.luma) << std::hex << r.word;
}

TEST(Colour, GreysLoseOneStepSixtyFiveTimes) {
    int lower = 0;
    for (uint32_t x = 0; x < 256; ++x) {
        const int l = luma_byte(x * 0x010101u);
        ASSERT_TRUE(l == static_cast<int>(x) || l == static_cast<int>(x) - 1) << x;
        lower += l != static_cast<int>(x);
    }
    EXPECT_EQ(lower, 65);
    for (uint32_t x : {1u, 2u, 4u, 8u, 127u, 128u}) EXPECT_EQ(luma_byte(x * 0x010101u), x - 1);
    for (uint32_t x : {0u, 100u, 120u, 200u, 255u}) EXPECT_EQ(luma_byte(x * 0x010101u), x);
}

TEST(Colour, RebuildTable) {
    const struct {
        uint32_t word;
        int32_t S;
        uint32_t out;
    } rows[] = {
        // round trips
        {0x000000, 0, 0x000000}, {0x646464, 0, 0x646464}, {0xC8C8C8, 0, 0xC8C8C8},
        {0x808080, 0, 0x7F7F7F}, {0x787878, 0, 0x777978}, {0xFFFFFF, 0, 0xFEFFFF},
        {0xFF0000, 0, 0xFE0001}, {0x00FF00, 0, 0x00FE01}, {0x0000FF, 0, 0x0000FF},
        {0xFF123456, 0, 0x00123354},
        // corrections
        {0x646464, 10, 0x5C595A}, {0x646464, -10, 0x6C6F6E}, {0x808080, 1, 0x7E7E7E},
        {0x808080, -1, 0x808181}, {0xFFFFFF, -20, 0xFFFFFF}, {0x000000, 20, 0x000000},
        // corrections far beyond any the core makes still clamp, never wrap
        {0x808080, 2147483647, 0x000000}, {0x808080, -2147483647 - 1, 0xFFFFFF},
    };
    for (const auto& r : rows)
        EXPECT_EQ(rebuild_xrgb(r.word, r.S), r.out) << std::hex << r.word << " S=" << std::dec << r.S;
}

TEST(Colour, RebuildNeverSetsTheTopByte) {
    for (uint32_t w = 0; w < (1u << 24); w += 4099)
        for (int32_t S : {-200, -1, 0, 1, 200}) ASSERT_EQ(rebuild_xrgb(0xFF000000u | w, S) >> 24, 0u);
}

TEST(Colour, ShowNoiseChannels) {
    const struct {
        uint32_t in, out, shown;
    } rows[] = {
        {0x646464, 0x646464, 0x7F7F7F}, {0x808080, 0x7F7F7F, 0x848484},
        {0x1A1A1A, 0x000000, 0xFFFFFF},  // lost 26
        {0x191919, 0x000000, 0xFCFCFC},  // lost 25
        {0x000000, 0x1A1A1A, 0x000000},  // gained 26
        {0x000000, 0x191919, 0x020202},  // gained 25
        {0xFF000000, 0x000000, 0x7F7F7F},
    };
    for (const auto& r : rows) EXPECT_EQ(show_noise_word(r.in, r.out), r.shown) << std::hex << r.in;
}

}  // namespace
}  // namespace orv
