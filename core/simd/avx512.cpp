// The kernels in 512-bit vectors, for processors with AVX-512 F, VL, BW and DQ.
#include "core/simd/vec512.h"
#define ORV_WIDTH V512
#define ORV_SIMD(name) name##_avx512
#include "core/simd/kernels.inl"
#include "core/simd/luma_kernels.inl"
