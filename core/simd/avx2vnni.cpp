// The AVX2 kernels with each multiply-add accumulated by vpdpwssd, for processors
// with AVX-VNNI and no AVX-512.
#include "core/simd/vec256.h"
#define ORV_WIDTH V256
#define ORV_SIMD(name) name##_avx2vnni
#include "core/simd/kernels.inl"
#include "core/simd/luma_kernels.inl"
