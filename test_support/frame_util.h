// Small helpers shared by the core tests: packed frames and one-call denoise.
#pragma once

#include <cstdint>
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

}  // namespace orv::test
