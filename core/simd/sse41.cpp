// The kernels in 128-bit vectors, for processors with SSE4.1 and no AVX2.
#include "core/simd/vec128.h"
#define ORV_WIDTH V128
#define ORV_SIMD(name) name##_sse41
#include "core/simd/kernels.inl"
#include "core/simd/luma_kernels.inl"
