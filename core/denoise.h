// The directional denoise core as the reference route runs it: whole frames,
// on the reference row kernels.
#pragma once

#include <cstdint>

#include "core/decision.h"
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

// The decision for one pixel: P1[d], P2[d]... are per-direction pair sums
// (d = 1..6, index 0 unused). Returns the correction S.
int32_t correction_from_pairs(int32_t c, const int32_t (*P)[7], const Strengths& st);

void denoise_cpu(const DenoiseJob& job);

}  // namespace orv
