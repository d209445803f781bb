// The kernel source's own luma and colour rebuild, called directly.
#include <gtest/gtest.h>

#include <cstdint>

#include "test_support/emu/orv_cuda_emu.h"

namespace {

using orv::emu::device_luma;
using orv::emu::device_rebuild;

TEST(KernelColour, LumaOfPrimariesAndGreys) {
    const struct {
        uint32_t word;
        int luma;
    } rows[] = {
        {0xFFFFFF, 255}, {0x000000, 0}, {0xFF0000, 77}, {0x00FF00, 149}, {0x0000FF, 29}, {0xFF000000, 0},
    };
    for (const auto& r : rows) EXPECT_EQ(device_luma(r.word), r.luma) << std::hex << r.word;
    for (uint32_t x = 0; x < 256; ++x) ASSERT_EQ(device_luma(x * 0x010101u | 0xAB000000u), static_cast<int>(x));
}

TEST(KernelColour, RebuildWithoutCorrectionKeepsEveryColour) {
    for (uint32_t word = 0; word < (1u << 24); ++word) {
        const uint32_t out = device_rebuild(word | 0xFF000000u, 0);
        if (out != word) FAIL() << std::hex << word << " came back as " << out;
    }
}

TEST(KernelColour, RebuildWithCorrection) {
    // The single-precision results that the frame tests rest on.
    const struct {
        uint32_t word;
        int S;
        uint32_t out;
    } rows[] = {
        {0x787878, 12, 0x6F6B6C},   // centre of the small impulse
        {0x808080, -1, 0x818181},   {0x646464, -1, 0x656565}, {0xFF123456, -1, 0x00133557},
        {0xFFFFFF, -1, 0xFFFFFF},   // clamped
        {0x000000, 1000, 0x000000}, // clamped at 0
        {0x808080, -32768, 0xFFFFFF}, {0x808080, 32767, 0x000000},
    };
    for (const auto& r : rows) EXPECT_EQ(device_rebuild(r.word, r.S), r.out) << std::hex << r.word << " " << r.S;
}

}  // namespace
