// The vector kernels built for AVX2 (this unit is compiled with -mavx2).
#define ORV_SIMD(name) name##_avx2
#include "core/simd/row_kernels.inl"
