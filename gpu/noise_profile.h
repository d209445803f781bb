// The noise profile of one frame on the GPU: orv_profile_sigma_kernel samples
// the frame's luma in flat 3 x 3 surroundings on a grid of 8 x 8 cells, and
// the host turns the samples' mean deviation into a noise sigma.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

struct GpuContext;

// Profiles a host frame (row 0 and signed pitch). True when a sigma (0 to
// 60, in luma steps) was stored in *result: 0 when the frame has fewer than 64
// flat samples. False on any failure, with *result untouched.
bool gpu_profile_noise(GpuContext* ctx, const void* src, ptrdiff_t srcPitch, int32_t w, int32_t h,
                       float* result) noexcept;

// The sigma of `count` samples whose deviations add up to `sum`.
float noise_sigma_from(unsigned long long sum, unsigned int count) noexcept;

}  // namespace orv
