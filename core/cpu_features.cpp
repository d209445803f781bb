#include "core/cpu_features.h"

#include <cpuid.h>

#include <cstdint>

namespace orv {

namespace {

// XCR0, the register states the OS saves on a context switch. Read with the
// raw opcode so this file needs no instruction-set flags of its own.
uint64_t read_xcr0() {
    uint32_t lo = 0, hi = 0;
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(lo), "=d"(hi) : "c"(0));
    return static_cast<uint64_t>(hi) << 32 | lo;
}

// The largest cache the deterministic cache leaf lists (Intel's 4, AMD's
// 0x8000001D, the same layout): ways x partitions x line x sets of each.
int64_t largest_cache(unsigned leaf) {
    int64_t largest = 0;
    for (unsigned i = 0; i < 16; ++i) {
        unsigned a = 0, b = 0, c = 0, d = 0;
        __cpuid_count(leaf, i, a, b, c, d);
        if ((a & 0x1F) == 0) break;
        const int64_t size = static_cast<int64_t>((b >> 22) + 1) * (((b >> 12) & 0x3FF) + 1) * ((b & 0xFFF) + 1) *
                             (static_cast<int64_t>(c) + 1);
        if (size > largest) largest = size;
    }
    return largest;
}

int64_t last_level_cache() {
    if (__get_cpuid_max(0, nullptr) >= 4) {
        if (const int64_t bytes = largest_cache(4); bytes > 0) return bytes;
    }
    if (__get_cpuid_max(0x80000000, nullptr) >= 0x8000001D) return largest_cache(0x8000001D);
    return 0;
}

}  // namespace

CpuFeatures detect_cpu_features() {
    CpuFeatures f{true, false, false, false, false, false, last_level_cache()};
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    f.sse41 = (c & bit_SSSE3) != 0 && (c & bit_SSE4_1) != 0;
    const bool osxsave = (c & bit_OSXSAVE) != 0;
    const bool avx = (c & bit_AVX) != 0;
    if (!osxsave || !avx) return f;
    // SSE (bit 1) and AVX (bit 2) state: without them the upper halves of the
    // vector registers would be lost on every task switch. AVX-512 adds the
    // mask registers (5), the upper halves of zmm0-15 (6) and zmm16-31 (7).
    const uint64_t xcr0 = read_xcr0();
    if ((xcr0 & 0x6) != 0x6) return f;
    if (__get_cpuid_max(0, nullptr) < 7) return f;
    __cpuid_count(7, 0, a, b, c, d);
    f.avx2 = (b & bit_AVX2) != 0;
    const unsigned subleaves = a;
    const unsigned avx512 = bit_AVX512F | bit_AVX512VL | bit_AVX512BW | bit_AVX512DQ;
    f.avx512 = f.avx2 && (b & avx512) == avx512 && (xcr0 & 0xE6) == 0xE6;
    f.avx512vnni = f.avx512 && (c & bit_AVX512VNNI) != 0;
    if (subleaves >= 1) {
        __cpuid_count(7, 1, a, b, c, d);
        f.avxvnni = f.avx2 && (a & (1u << 4)) != 0;  // leaf 7.1 EAX bit 4
    }
    return f;
}

}  // namespace orv
