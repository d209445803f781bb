// The denoise of a plane of luma samples, 8 to 16 bits: the first plane of a
// GRAY or YUV frame, which is the luma the filter reads, with no colour model
// in between. The correction S is the reference's decision at the plane's own
// precision; the output is Y - S clamped to the samples' range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/kernel_sets.h"
#include "core/row_kernels.h"

namespace orv {

struct LumaSettings {
    int32_t f1, f2, sharp, interlace, showNoise;
};

// Whether a plane of samples is denoised with these settings: strengths
// 0..100 and sharp 0..6, the ranges in which no intermediate leaves 32 bits
// (core/simd/luma_kernels.inl).
bool luma_settings_fit(const LumaSettings& s);

// One plane: h rows of w samples, a byte each at 8 bits, else a 16-bit word;
// `bits` 8..16. Strides in bytes. dst may not overlap src.
struct LumaPlanes {
    const uint8_t* src;
    ptrdiff_t srcStride;
    uint8_t* dst;
    ptrdiff_t dstStride;
    int32_t w, h, bits;
};

// What a plane's rows need between frames, kept so that frames allocate
// nothing once the first has run.
struct LumaWorkspace {
    kernels::LineRing narrow;   // 16-bit lines: 8-bit samples, vector sets
    std::vector<int32_t> wide;  // 32-bit lines: the rest
    std::vector<int32_t> S;
};

// With show_noise the output is the change, magnified, around mid-grey on the
// plane's scale: 127*m + min(max(5*(in - out), -127*m), 128*m), m = 2^(bits-8),
// which at 8 bits is the RGB picture's grey. The chroma that goes with it is
// neutral, 2^(bits-1).
//
// Returns 0, or 1 when memory ran out or the settings or the plane are out of
// range (dst untouched then). A set the processor lacks falls back to the
// reference.
int run_luma_route(const LumaPlanes& p, const LumaSettings& s, const KernelSet& set, LumaWorkspace& ws);

}  // namespace orv
