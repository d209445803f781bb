// The vector kernels built for AVX2 with AVX-VNNI (processors with VNNI but
// no AVX-512): as the AVX2 set, with each multiply-add accumulated by
// vpdpwssd.
#define ORV_SIMD(name) name##_avx2vnni
#include "core/simd/row_kernels.inl"
