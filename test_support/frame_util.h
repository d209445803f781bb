// Small helpers shared by the core tests: packed frames and one-call denoise.
#pragma once

#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

#include "core/colour.h"
#include "core/denoise.h"

namespace orv::test {

struct Settings {
    int32_t f1 = 70, f2 = 70, sharp = 2, interlace = 0, showNoise = 0;
};

inline std::vector<uint32_t> denoise(const std::vector<uint32_t>& src, int32_t w, int32_t h,
                                     const Settings& s = {}) {
    std::vector<uint8_t> plane(src.size());
    build_luma_plane(src.data(), static_cast<int64_t>(src.size()), plane.data());
    FilterInstance fi{};
    fi.lumaPlane = plane.data();
    fi.showNoise = s.showNoise;
    std::vector<uint32_t> out(src.size(), 0xDEADBEEF);
    denoise_cpu(DenoiseJob{src.data(), out.data(), s.f1, s.f2, s.sharp, s.interlace, h, w, &fi});
    return out;
}

inline std::vector<uint32_t> random_frame(std::mt19937& rng, int32_t w, int32_t h, uint32_t topMask = 0) {
    std::vector<uint32_t> f(static_cast<size_t>(w) * h);
    for (auto& p : f) p = rng() | (rng() & topMask);
    return f;
}

// A frame of smooth content with mild noise, where the filter's decisions mix.
inline std::vector<uint32_t> noisy_frame(std::mt19937& rng, int32_t w, int32_t h) {
    std::vector<uint32_t> f(static_cast<size_t>(w) * h);
    std::normal_distribution<double> n(0.0, 6.0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t word = 0;
            for (int ch = 0; ch < 3; ++ch) {
                double v = 60 + 3.0 * x + 2.0 * y + 40 * ch + n(rng);
                if ((x / 5 + y / 7) % 3 == 0) v += 70;
                int iv = static_cast<int>(v) & 0x1FF;
                iv = iv > 255 ? 511 - iv : iv;
                word |= static_cast<uint32_t>(iv) << (8 * ch);
            }
            f[static_cast<size_t>(y) * w + x] = word;
        }
    return f;
}

// What films and screen recordings are full of, and noise is not: black
// letterbox bars, flat grey panels and anti-aliased text, whose greys and
// their edges' small corrections are the colour model's exact multiples.
// `seed` picks the panels' levels and the glyphs; the same seed, the same frame.
inline std::vector<uint32_t> grey_rich_frame(int32_t w, int32_t h, uint32_t seed) {
    // Levels that settle in integers and levels that need the model, side by side.
    constexpr uint32_t kLevels[] = {16, 128, 235, 200, 64, 100, 180, 127, 8, 32, 255, 1};
    constexpr int32_t kCellW = 12, kCellH = 20, kInk = 235;
    const auto hash = [seed](uint64_t a, uint64_t b) {
        uint64_t x = a * 0x9E3779B97F4A7C15u ^ b * 0xC2B2AE3D27D4EB4Fu ^ seed * 0x165667B19E3779F9u;
        x ^= x >> 29;
        x *= 0xBF58476D1CE4E5B9u;
        return x ^ x >> 32;
    };
    const int32_t bar = h / 8, picture = h - 2 * bar;
    // Text: glyphs of 5 x 7 dots of 2 x 2 pixels in 12 x 20 cells, on every
    // other line of cells, over the left three quarters of the width.
    const auto ink = [&](int32_t x, int32_t y) -> int {
        if (x < 0 || x >= w * 3 / 4 || y < bar || y >= h - bar) return 0;
        const int32_t line = (y - bar) / kCellH, gx = x % kCellW / 2, gy = ((y - bar) % kCellH - 3) / 2;
        if (line % 2 != 0 || gx >= 5 || gy < 0 || gy >= 7) return 0;
        return static_cast<int>(hash(static_cast<uint64_t>(x / kCellW), static_cast<uint64_t>(line)) >> (gy * 5 + gx) & 1);
    };
    std::vector<uint32_t> f(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t g = 0;
            if (y >= bar && y < h - bar) {
                const int32_t panel = x * 4 / w + 4 * ((y - bar) * 2 / picture);
                const int32_t bg = static_cast<int32_t>(kLevels[(static_cast<uint32_t>(panel) + seed) % std::size(kLevels)]);
                const int cover = 2 * ink(x, y) + ink(x - 1, y) + ink(x + 1, y);  // quarters
                g = static_cast<uint32_t>(bg + (kInk - bg) * cover / 4);
            }
            f[static_cast<size_t>(y) * w + x] = g * 0x010101u;
        }
    return f;
}

}  // namespace orv::test
