// What the processor we run on can execute, asked of CPUID once. The vector
// kernels are compiled for instruction sets the module's baseline lacks, so a
// kernel is only ever called after this says yes.
#pragma once

#include <cstdint>

namespace orv {

struct CpuFeatures {
    bool baseline;  // x86-64 itself: always
    bool sse41;     // SSSE3 and SSE4.1
    bool avx2;    // AVX2 instructions, and an OS that saves the 256-bit registers
    bool avxvnni;  // and AVX-VNNI (vpdpwssd on 256-bit registers without AVX-512)
    bool avx512;  // AVX-512 F, VL, BW and DQ, and an OS that saves all 32 registers and the masks
    bool avx512vnni;  // and AVX-512 VNNI (vpdpwssd)
    int64_t lastLevelCacheBytes;  // the largest cache's size; 0 when the processor doesn't say
};

CpuFeatures detect_cpu_features();

}  // namespace orv
