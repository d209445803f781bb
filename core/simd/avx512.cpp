// The vector kernels built for AVX-512 (F, VL, BW, DQ). The vectors stay
// 256 bits wide; what the loops gain is 32 registers instead of 16, and with
// them far fewer spills.
#define ORV_SIMD(name) name##_avx512
#include "core/simd/row_kernels.inl"
