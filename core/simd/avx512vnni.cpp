// The AVX-512 kernels with each multiply-add accumulated by vpdpwssd.
#include "core/simd/vec512.h"
#define ORV_WIDTH V512
#define ORV_SIMD(name) name##_avx512vnni
#include "core/simd/kernels.inl"
#include "core/simd/luma_kernels.inl"
