// 256-bit vectors (AVX2) for the kernels in core/simd/kernels.inl: eight
// 32-bit or sixteen 16-bit lanes, masks as vectors of all-ones lanes. The
// unpacks, shuffles and packs work within each 128-bit half.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "core/inline.h"

namespace orv::kernels {
namespace {

struct V256 {
    using I = __m256i;
    using M = __m256i;
    static constexpr int kWords = 8;
    static constexpr int kBlocks = 4;  // rebuild blocks in lockstep

    static ORV_INLINE I load(const void* p) { return _mm256_loadu_si256(static_cast<const I*>(p)); }
    // In halves: rows are often 16 bytes off a 32-byte boundary, and a store
    // across a cache line costs more than two.
    static ORV_INLINE void store(void* p, I v) {
        _mm_storeu_si128(static_cast<__m128i*>(p), _mm256_castsi256_si128(v));
        _mm_storeu_si128(static_cast<__m128i*>(p) + 1, _mm256_extracti128_si256(v, 1));
    }
    static ORV_INLINE void stream(void* p, I v) { _mm256_stream_si256(static_cast<I*>(p), v); }
    static ORV_INLINE I load_widened(const int16_t* p) {
        return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    static ORV_INLINE I set32(int32_t x) { return _mm256_set1_epi32(x); }
    static ORV_INLINE I set16(int16_t x) { return _mm256_set1_epi16(x); }
    static ORV_INLINE I zero() { return _mm256_setzero_si256(); }
    // Spelt out, so that a constant pattern is one constant the shuffles can
    // take from memory, not a broadcast held in a register.
    static ORV_INLINE I each128(const int8_t (&b)[16]) {
        return _mm256_setr_epi8(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                                b[14], b[15], b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11],
                                b[12], b[13], b[14], b[15]);
    }

    static ORV_INLINE I add32(I a, I b) { return _mm256_add_epi32(a, b); }
    static ORV_INLINE I sub32(I a, I b) { return _mm256_sub_epi32(a, b); }
    static ORV_INLINE I add16(I a, I b) { return _mm256_add_epi16(a, b); }
    static ORV_INLINE I sub16(I a, I b) { return _mm256_sub_epi16(a, b); }
    static ORV_INLINE I and_(I a, I b) { return _mm256_and_si256(a, b); }
    static ORV_INLINE I or_(I a, I b) { return _mm256_or_si256(a, b); }
    static ORV_INLINE I shl32(I a, int n) { return _mm256_slli_epi32(a, n); }
    static ORV_INLINE I shr32(I a, int n) { return _mm256_srli_epi32(a, n); }
    static ORV_INLINE I sar32(I a, int n) { return _mm256_srai_epi32(a, n); }
    static ORV_INLINE I mul32(I a, I b) { return _mm256_mullo_epi32(a, b); }
    static ORV_INLINE I min32(I a, I b) { return _mm256_min_epi32(a, b); }
    static ORV_INLINE I max32(I a, I b) { return _mm256_max_epi32(a, b); }
    static ORV_INLINE I minu32(I a, I b) { return _mm256_min_epu32(a, b); }
    static ORV_INLINE I abs32(I a) { return _mm256_abs_epi32(a); }
    static ORV_INLINE I abs16(I a) { return _mm256_abs_epi16(a); }
    static ORV_INLINE I madd(I a, I b) { return _mm256_madd_epi16(a, b); }
    // acc + madd(a, b), one vpdpwssd where the unit has VNNI; the sums wrap alike.
    static ORV_INLINE I madd_add(I acc, I a, I b) {
#if defined(__AVXVNNI__)
        return _mm256_dpwssd_avx_epi32(acc, a, b);
#elif defined(__AVX512VNNI__) && defined(__AVX512VL__)
        return _mm256_dpwssd_epi32(acc, a, b);
#else
        return _mm256_add_epi32(acc, _mm256_madd_epi16(a, b));
#endif
    }
    // n * inverse in float, truncated.
    static ORV_INLINE I quotient(I n, float inverse) {
        return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), _mm256_set1_ps(inverse)));
    }

    // Doubles, for the colour model's own arithmetic: part 0 or 1 of a
    // vector's 32-bit lanes, and back, truncated.
    using D = __m256d;
    static ORV_INLINE D to_double(I v, int part) {
        return _mm256_cvtepi32_pd(part == 0 ? _mm256_castsi256_si128(v) : _mm256_extracti128_si256(v, 1));
    }
    static ORV_INLINE I truncate(D part0, D part1) {
        return _mm256_setr_m128i(_mm256_cvttpd_epi32(part0), _mm256_cvttpd_epi32(part1));
    }
    static ORV_INLINE D mul(D a, double k) { return _mm256_mul_pd(a, _mm256_set1_pd(k)); }
    static ORV_INLINE D add(D a, D b) { return _mm256_add_pd(a, b); }
    static ORV_INLINE D add(D a, double k) { return _mm256_add_pd(a, _mm256_set1_pd(k)); }
    static ORV_INLINE D sub(D a, D b) { return _mm256_sub_pd(a, b); }

    static ORV_INLINE I unpacklo16(I a, I b) { return _mm256_unpacklo_epi16(a, b); }
    static ORV_INLINE I unpackhi16(I a, I b) { return _mm256_unpackhi_epi16(a, b); }
    static ORV_INLINE I shuffle8(I a, I index) { return _mm256_shuffle_epi8(a, index); }
    // The low 16 bits of each 32-bit lane from `even`, the high from `odd`.
    static ORV_INLINE I blend_odd16(I even, I odd) { return _mm256_blend_epi16(even, odd, 0xAA); }
    static ORV_INLINE I packs32(I a, I b) { return _mm256_packs_epi32(a, b); }
    static ORV_INLINE I packus16(I a, I b) { return _mm256_packus_epi16(a, b); }
    // 32-bit lanes a then b as 16-bit lanes in that order.
    static ORV_INLINE I narrow(I a, I b) { return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8); }
    // 16-bit lanes, each 0..255, stored as bytes.
    static ORV_INLINE void store_bytes(uint8_t* p, I v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                         _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1)));
    }
    // The 32-bit results of unpacklo16 / unpackhi16 pairs, in pixel order.
    static ORV_INLINE void store_unpacked(int32_t* p, I lo, I hi) {
        store(p, _mm256_permute2x128_si256(lo, hi, 0x20));
        store(p + 8, _mm256_permute2x128_si256(lo, hi, 0x31));
    }

    static ORV_INLINE M gt32(I a, I b) { return _mm256_cmpgt_epi32(a, b); }
    static ORV_INLINE M eq32(I a, I b) { return _mm256_cmpeq_epi32(a, b); }
    // Lanes of `t` where m, else of `f`.
    static ORV_INLINE I select(M m, I f, I t) { return _mm256_blendv_epi8(f, t, m); }
    static ORV_INLINE I replace16(I v, int16_t marker, I with) {
        return _mm256_blendv_epi8(v, with, _mm256_cmpeq_epi16(v, _mm256_set1_epi16(marker)));
    }
    static ORV_INLINE bool any(M m) { return !_mm256_testz_si256(m, m); }
    static ORV_INLINE M or_mask(M a, M b) { return _mm256_or_si256(a, b); }
    static ORV_INLINE M andnot_mask(M a, M b) { return _mm256_andnot_si256(a, b); }  // b and not a
    static ORV_INLINE uint32_t bits(M m) { return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(m))); }
    static ORV_INLINE M from_bits(uint32_t b) {
        const I bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
        return _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(static_cast<int32_t>(b)), bit), bit);
    }
};

}  // namespace
}  // namespace orv::kernels
