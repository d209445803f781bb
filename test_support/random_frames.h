// Deterministic pictures for tests whose results must agree across builds and
// platforms: a generator of its own (splitmix64), integer arithmetic only, so
// that the Linux and the Windows build see the very same frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::test {

struct SplitMix64 {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    int32_t range(int32_t lo, int32_t hi) { return lo + static_cast<int32_t>(below(static_cast<uint32_t>(hi - lo + 1))); }
};

// Smooth ramps, blocks of structure and mild noise, so that the filter's noise
// and structure decisions mix; the top bytes are random, as a host may leave
// them.
inline std::vector<uint32_t> random_picture(SplitMix64& rng, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return {};
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    int32_t base[3], dx[3], dy[3];
    for (int c = 0; c < 3; ++c) {
        base[c] = rng.range(20, 200);
        dx[c] = rng.range(-4, 4);
        dy[c] = rng.range(-4, 4);
    }
    const int32_t block = rng.range(3, 9), step = rng.range(20, 90), noise = rng.range(0, 12);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t word = static_cast<uint32_t>(rng.below(256)) << 24;
            const bool raised = ((x / block) + (y / (block + 1))) % 3 == 0;
            for (int c = 0; c < 3; ++c) {
                int32_t v = base[c] + dx[c] * x + dy[c] * y + (raised ? step : 0) + rng.range(-noise, noise);
                v &= 0x1FF;
                if (v > 255) v = 511 - v;
                word |= static_cast<uint32_t>(v) << (8 * c);
            }
            p[static_cast<size_t>(y) * w + x] = word;
        }
    return p;
}

// FNV-1a, 64 bits, continued from `h`.
inline uint64_t fnv1a64(uint64_t h, const void* data, size_t n) {
    const auto* b = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < n; ++i) {
        h ^= b[i];
        h *= 0x100000001B3ull;
    }
    return h;
}
constexpr uint64_t kFnvOffset = 0xCBF29CE484222325ull;

}  // namespace orv::test
