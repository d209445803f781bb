// 128-bit vectors (SSE4.1) for the kernels in core/simd/kernels.inl: four
// 32-bit or eight 16-bit lanes, masks as vectors of all-ones lanes.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "core/inline.h"

namespace orv::kernels {
namespace {

struct V128 {
    using I = __m128i;
    using M = __m128i;
    static constexpr int kWords = 4;
    static constexpr int kBlocks = 4;  // rebuild blocks in lockstep

    static ORV_INLINE I load(const void* p) { return _mm_loadu_si128(static_cast<const I*>(p)); }
    static ORV_INLINE void store(void* p, I v) { _mm_storeu_si128(static_cast<I*>(p), v); }
    static ORV_INLINE void stream(void* p, I v) { _mm_stream_si128(static_cast<I*>(p), v); }
    static ORV_INLINE I load_widened(const int16_t* p) {
        return _mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    }
    static ORV_INLINE I set32(int32_t x) { return _mm_set1_epi32(x); }
    static ORV_INLINE I set16(int16_t x) { return _mm_set1_epi16(x); }
    static ORV_INLINE I zero() { return _mm_setzero_si128(); }
    static ORV_INLINE I each128(const int8_t (&b)[16]) { return _mm_loadu_si128(reinterpret_cast<const I*>(b)); }

    static ORV_INLINE I add32(I a, I b) { return _mm_add_epi32(a, b); }
    static ORV_INLINE I sub32(I a, I b) { return _mm_sub_epi32(a, b); }
    static ORV_INLINE I add16(I a, I b) { return _mm_add_epi16(a, b); }
    static ORV_INLINE I sub16(I a, I b) { return _mm_sub_epi16(a, b); }
    static ORV_INLINE I and_(I a, I b) { return _mm_and_si128(a, b); }
    static ORV_INLINE I or_(I a, I b) { return _mm_or_si128(a, b); }
    static ORV_INLINE I shl32(I a, int n) { return _mm_slli_epi32(a, n); }
    static ORV_INLINE I shr32(I a, int n) { return _mm_srli_epi32(a, n); }
    static ORV_INLINE I sar32(I a, int n) { return _mm_srai_epi32(a, n); }
    static ORV_INLINE I mul32(I a, I b) { return _mm_mullo_epi32(a, b); }
    static ORV_INLINE I min32(I a, I b) { return _mm_min_epi32(a, b); }
    static ORV_INLINE I max32(I a, I b) { return _mm_max_epi32(a, b); }
    static ORV_INLINE I minu32(I a, I b) { return _mm_min_epu32(a, b); }
    static ORV_INLINE I abs32(I a) { return _mm_abs_epi32(a); }
    static ORV_INLINE I abs16(I a) { return _mm_abs_epi16(a); }
    static ORV_INLINE I madd(I a, I b) { return _mm_madd_epi16(a, b); }
    static ORV_INLINE I madd_add(I acc, I a, I b) { return _mm_add_epi32(acc, _mm_madd_epi16(a, b)); }
    static ORV_INLINE I quotient(I n, float inverse) {
        return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(n), _mm_set1_ps(inverse)));
    }

    using D = __m128d;
    static ORV_INLINE D to_double(I v, int part) { return _mm_cvtepi32_pd(part == 0 ? v : _mm_unpackhi_epi64(v, v)); }
    static ORV_INLINE I truncate(D part0, D part1) {
        return _mm_unpacklo_epi64(_mm_cvttpd_epi32(part0), _mm_cvttpd_epi32(part1));
    }
    static ORV_INLINE D mul(D a, double k) { return _mm_mul_pd(a, _mm_set1_pd(k)); }
    static ORV_INLINE D add(D a, D b) { return _mm_add_pd(a, b); }
    static ORV_INLINE D add(D a, double k) { return _mm_add_pd(a, _mm_set1_pd(k)); }
    static ORV_INLINE D sub(D a, D b) { return _mm_sub_pd(a, b); }

    static ORV_INLINE I unpacklo16(I a, I b) { return _mm_unpacklo_epi16(a, b); }
    static ORV_INLINE I unpackhi16(I a, I b) { return _mm_unpackhi_epi16(a, b); }
    static ORV_INLINE I shuffle8(I a, I index) { return _mm_shuffle_epi8(a, index); }
    static ORV_INLINE I blend_odd16(I even, I odd) { return _mm_blend_epi16(even, odd, 0xAA); }
    static ORV_INLINE I packs32(I a, I b) { return _mm_packs_epi32(a, b); }
    static ORV_INLINE I packus16(I a, I b) { return _mm_packus_epi16(a, b); }
    static ORV_INLINE I narrow(I a, I b) { return _mm_packs_epi32(a, b); }
    static ORV_INLINE void store_bytes(uint8_t* p, I v) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v));
    }
    static ORV_INLINE void store_unpacked(int32_t* p, I lo, I hi) {
        store(p, lo);
        store(p + 4, hi);
    }

    static ORV_INLINE M gt32(I a, I b) { return _mm_cmpgt_epi32(a, b); }
    static ORV_INLINE M eq32(I a, I b) { return _mm_cmpeq_epi32(a, b); }
    static ORV_INLINE I select(M m, I f, I t) { return _mm_blendv_epi8(f, t, m); }
    static ORV_INLINE I replace16(I v, int16_t marker, I with) {
        return _mm_blendv_epi8(v, with, _mm_cmpeq_epi16(v, _mm_set1_epi16(marker)));
    }
    static ORV_INLINE bool any(M m) { return !_mm_testz_si128(m, m); }
    static ORV_INLINE M or_mask(M a, M b) { return _mm_or_si128(a, b); }
    static ORV_INLINE M andnot_mask(M a, M b) { return _mm_andnot_si128(a, b); }
    static ORV_INLINE uint32_t bits(M m) { return static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(m))); }
    static ORV_INLINE M from_bits(uint32_t b) {
        const I bit = _mm_setr_epi32(1, 2, 4, 8);
        return _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int32_t>(b)), bit), bit);
    }
};

}  // namespace
}  // namespace orv::kernels
