// The vector kernels built for AVX-512 with VNNI: as the AVX-512 set, with
// each response's multiply-adds accumulated by vpdpwssd.
#define ORV_SIMD(name) name##_avx512vnni
#include "core/simd/row_kernels.inl"
