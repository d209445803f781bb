// The kernels in 256-bit vectors, for processors with AVX2.
#include "core/simd/vec256.h"
#define ORV_WIDTH V256
#define ORV_SIMD(name) name##_avx2
#include "core/simd/kernels.inl"
#include "core/simd/luma_kernels.inl"
