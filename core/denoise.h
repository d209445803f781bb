// The directional denoise core as the CPU runs it.
#pragma once

#include <cstdint>

#include "core/filter_instance.h"

namespace orv {

struct DenoiseJob {
    const uint32_t* source;
    uint32_t* output;
    int32_t f1;
    int32_t f2;
    int32_t sharp;
    int32_t interlace;
    int32_t height;
    int32_t width;
    const FilterInstance* instance;
};

// Weights for distance 0..6: round(65536/13 * cos(2*pi*f*d/13)).
inline constexpr int32_t K1[7] = {5041, 4464, 2864, 608, -1788, -3773, -4895};
inline constexpr int32_t K2[7] = {5041, 2864, -1788, -4895, -3773, 608, 4464};

// Per-pass constants derived from the strengths, with 32-bit wrap-around.
struct Strengths {
    int32_t a1, k1, a2, k2, sharp;
};
Strengths make_strengths(int32_t f1, int32_t f2, int32_t sharp);

// The decision for one pixel: P1[d], P2[d]... are per-direction pair sums
// (d = 1..6, index 0 unused). Returns the correction S.
int32_t correction_from_pairs(int32_t c, const int32_t (*P)[7], const Strengths& st);

void denoise_cpu(const DenoiseJob& job);

}  // namespace orv
