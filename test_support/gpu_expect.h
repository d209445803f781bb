// What the GPU route must produce for a host frame, worked out on the kernel
// emulator: the kernels see the frame's rows in address order, from the
// lowest one up, and the result goes back the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv::fuzz {

struct KernelArgs {
    int32_t f1, f2, sharp, interlace, showNoise;
};

// orv_kernel<16,16> on `pixels` (row k of the host frame at k*w).
std::vector<uint32_t> emulated_denoise(const std::vector<uint32_t>& pixels, int32_t w, int32_t h,
                                       ptrdiff_t srcPitch, ptrdiff_t dstPitch, const KernelArgs& k);

// The noise sigma that the profile kernel and its host side measure.
float emulated_sigma(const std::vector<uint32_t>& pixels, int32_t w, int32_t h, ptrdiff_t srcPitch);

}  // namespace orv::fuzz
