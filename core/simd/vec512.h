// 512-bit vectors (AVX-512 F, BW, DQ) for the kernels in
// core/simd/kernels.inl: sixteen 32-bit or thirty-two 16-bit lanes, masks in
// mask registers. The unpacks, shuffles and packs work within each 128-bit
// quarter.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "core/inline.h"

namespace orv::kernels {
namespace {

struct V512 {
    using I = __m512i;
    using M = __mmask16;
    static constexpr int kWords = 16;
    static constexpr int kBlocks = 2;  // rebuild blocks in lockstep

    static ORV_INLINE I load(const void* p) { return _mm512_loadu_si512(p); }
    static ORV_INLINE void store(void* p, I v) { _mm512_storeu_si512(p, v); }
    static ORV_INLINE void stream(void* p, I v) { _mm512_stream_si512(static_cast<I*>(p), v); }
    static ORV_INLINE I load_widened(const int16_t* p) {
        return _mm512_cvtepi16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
    }
    static ORV_INLINE I set32(int32_t x) { return _mm512_set1_epi32(x); }
    static ORV_INLINE I set16(int16_t x) { return _mm512_set1_epi16(x); }
    static ORV_INLINE I zero() { return _mm512_setzero_si512(); }
    static ORV_INLINE I each128(const int8_t (&b)[16]) {
        return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
    }

    static ORV_INLINE I add32(I a, I b) { return _mm512_add_epi32(a, b); }
    static ORV_INLINE I sub32(I a, I b) { return _mm512_sub_epi32(a, b); }
    static ORV_INLINE I add16(I a, I b) { return _mm512_add_epi16(a, b); }
    static ORV_INLINE I sub16(I a, I b) { return _mm512_sub_epi16(a, b); }
    static ORV_INLINE I and_(I a, I b) { return _mm512_and_si512(a, b); }
    static ORV_INLINE I or_(I a, I b) { return _mm512_or_si512(a, b); }
    static ORV_INLINE I shl32(I a, int n) { return _mm512_slli_epi32(a, static_cast<unsigned>(n)); }
    static ORV_INLINE I shr32(I a, int n) { return _mm512_srli_epi32(a, static_cast<unsigned>(n)); }
    static ORV_INLINE I sar32(I a, int n) { return _mm512_srai_epi32(a, static_cast<unsigned>(n)); }
    static ORV_INLINE I mul32(I a, I b) { return _mm512_mullo_epi32(a, b); }
    static ORV_INLINE I min32(I a, I b) { return _mm512_min_epi32(a, b); }
    static ORV_INLINE I max32(I a, I b) { return _mm512_max_epi32(a, b); }
    static ORV_INLINE I minu32(I a, I b) { return _mm512_min_epu32(a, b); }
    static ORV_INLINE I abs32(I a) { return _mm512_abs_epi32(a); }
    static ORV_INLINE I abs16(I a) { return _mm512_abs_epi16(a); }
    static ORV_INLINE I madd(I a, I b) { return _mm512_madd_epi16(a, b); }
    static ORV_INLINE I madd_add(I acc, I a, I b) {
#if defined(__AVX512VNNI__)
        return _mm512_dpwssd_epi32(acc, a, b);
#else
        return _mm512_add_epi32(acc, _mm512_madd_epi16(a, b));
#endif
    }
    static ORV_INLINE I quotient(I n, float inverse) {
        return _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(n), _mm512_set1_ps(inverse)));
    }

    using D = __m512d;
    static ORV_INLINE D to_double(I v, int part) {
        return _mm512_cvtepi32_pd(part == 0 ? _mm512_castsi512_si256(v) : _mm512_extracti64x4_epi64(v, 1));
    }
    static ORV_INLINE I truncate(D part0, D part1) {
        return _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvttpd_epi32(part0)), _mm512_cvttpd_epi32(part1), 1);
    }
    static ORV_INLINE D mul(D a, double k) { return _mm512_mul_pd(a, _mm512_set1_pd(k)); }
    static ORV_INLINE D add(D a, D b) { return _mm512_add_pd(a, b); }
    static ORV_INLINE D add(D a, double k) { return _mm512_add_pd(a, _mm512_set1_pd(k)); }
    static ORV_INLINE D sub(D a, D b) { return _mm512_sub_pd(a, b); }

    static ORV_INLINE I unpacklo16(I a, I b) { return _mm512_unpacklo_epi16(a, b); }
    static ORV_INLINE I unpackhi16(I a, I b) { return _mm512_unpackhi_epi16(a, b); }
    static ORV_INLINE I shuffle8(I a, I index) { return _mm512_shuffle_epi8(a, index); }
    static ORV_INLINE I blend_odd16(I even, I odd) { return _mm512_mask_blend_epi16(0xAAAAAAAAu, even, odd); }
    static ORV_INLINE I packs32(I a, I b) { return _mm512_packs_epi32(a, b); }
    static ORV_INLINE I packus16(I a, I b) { return _mm512_packus_epi16(a, b); }
    static ORV_INLINE I narrow(I a, I b) {
        return _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7), _mm512_packs_epi32(a, b));
    }
    static ORV_INLINE void store_bytes(uint8_t* p, I v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_cvtusepi16_epi8(v));
    }
    static ORV_INLINE void store_unpacked(int32_t* p, I lo, I hi) {
        const I first = _mm512_setr_epi32(0, 1, 2, 3, 16, 17, 18, 19, 4, 5, 6, 7, 20, 21, 22, 23);
        const I second = _mm512_setr_epi32(8, 9, 10, 11, 24, 25, 26, 27, 12, 13, 14, 15, 28, 29, 30, 31);
        store(p, _mm512_permutex2var_epi32(lo, first, hi));
        store(p + 16, _mm512_permutex2var_epi32(lo, second, hi));
    }

    static ORV_INLINE M gt32(I a, I b) { return _mm512_cmpgt_epi32_mask(a, b); }
    static ORV_INLINE M eq32(I a, I b) { return _mm512_cmpeq_epi32_mask(a, b); }
    static ORV_INLINE I select(M m, I f, I t) { return _mm512_mask_blend_epi32(m, f, t); }
    static ORV_INLINE I replace16(I v, int16_t marker, I with) {
        return _mm512_mask_blend_epi16(_mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(marker)), v, with);
    }
    static ORV_INLINE bool any(M m) { return m != 0; }
    static ORV_INLINE M or_mask(M a, M b) { return static_cast<M>(a | b); }
    static ORV_INLINE M andnot_mask(M a, M b) { return static_cast<M>(~a & b); }
    static ORV_INLINE uint32_t bits(M m) { return m; }
    static ORV_INLINE M from_bits(uint32_t b) { return static_cast<M>(b); }
};

}  // namespace
}  // namespace orv::kernels
