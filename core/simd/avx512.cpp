// The vector kernels built for AVX-512 (F, VL, BW, DQ): the core and the
// rebuild in 512-bit vectors, the rest in 256-bit ones with 32 registers.
#define ORV_SIMD(name) name##_avx512
#include "core/simd/row_kernels.inl"
