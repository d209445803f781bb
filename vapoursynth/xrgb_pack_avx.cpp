// The packings in 256- and 512-bit vectors. Each function carries its own
// target, so nothing else in this unit (nor an inline function the linker
// might keep for everyone) uses those instructions; they run only where
// xrgb_pack_for chose them.
#include <immintrin.h>

#include "vapoursynth/xrgb_pack.h"

// GCC 12's AVX-512 intrinsics start from an "undefined" vector it then warns about.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace orv::vs {

// The byte interleaves work within 128-bit lanes. With each input's 4-byte
// groups first dealt out to the lanes in turn (group j to lane j mod lanes),
// the interleaves' results come out with the pixels in order.
__attribute__((target("avx2"))) ORV_DECL_PACK_ROW(pack_xrgb_row_avx2) {
    const __m256i deal = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7), zero = _mm256_setzero_si256();
    int32_t x = 0;
    for (; x + 32 <= w; x += 32) {
        const __m256i vb = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + x)), deal);
        const __m256i vg = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(g + x)), deal);
        const __m256i vr = _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(r + x)), deal);
        const __m256i bgLo = _mm256_unpacklo_epi8(vb, vg), bgHi = _mm256_unpackhi_epi8(vb, vg);
        const __m256i r0Lo = _mm256_unpacklo_epi8(vr, zero), r0Hi = _mm256_unpackhi_epi8(vr, zero);
        auto* o = reinterpret_cast<__m256i*>(out + x);
        _mm256_storeu_si256(o + 0, _mm256_unpacklo_epi16(bgLo, r0Lo));
        _mm256_storeu_si256(o + 1, _mm256_unpackhi_epi16(bgLo, r0Lo));
        _mm256_storeu_si256(o + 2, _mm256_unpacklo_epi16(bgHi, r0Hi));
        _mm256_storeu_si256(o + 3, _mm256_unpackhi_epi16(bgHi, r0Hi));
    }
    pack_xrgb_row_sse2(r + x, g + x, b + x, out + x, w - x);
}

__attribute__((target("avx512f,avx512bw"))) ORV_DECL_PACK_ROW(pack_xrgb_row_avx512) {
    const __m512i deal = _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    const __m512i zero = _mm512_setzero_si512();
    int32_t x = 0;
    for (; x + 64 <= w; x += 64) {
        const __m512i vb = _mm512_permutexvar_epi32(deal, _mm512_loadu_si512(b + x));
        const __m512i vg = _mm512_permutexvar_epi32(deal, _mm512_loadu_si512(g + x));
        const __m512i vr = _mm512_permutexvar_epi32(deal, _mm512_loadu_si512(r + x));
        const __m512i bgLo = _mm512_unpacklo_epi8(vb, vg), bgHi = _mm512_unpackhi_epi8(vb, vg);
        const __m512i r0Lo = _mm512_unpacklo_epi8(vr, zero), r0Hi = _mm512_unpackhi_epi8(vr, zero);
        uint32_t* o = out + x;
        _mm512_storeu_si512(o, _mm512_unpacklo_epi16(bgLo, r0Lo));
        _mm512_storeu_si512(o + 16, _mm512_unpackhi_epi16(bgLo, r0Lo));
        _mm512_storeu_si512(o + 32, _mm512_unpacklo_epi16(bgHi, r0Hi));
        _mm512_storeu_si512(o + 48, _mm512_unpackhi_epi16(bgHi, r0Hi));
    }
    pack_xrgb_row_sse2(r + x, g + x, b + x, out + x, w - x);
}

// Back: a byte shuffle sorts each lane's four pixels by channel (a 4-byte
// group each of B, G, R, X), then the groups are gathered by channel.
__attribute__((target("avx2"))) ORV_DECL_UNPACK_ROW(unpack_xrgb_row_avx2) {
    const __m256i sort = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8, 12, 1, 5,
                                          9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    // The gathered groups hold pixels 0-3, 8-11, 16-19, 24-27, then 4-7, ...
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int32_t x = 0;
    for (; x + 32 <= w; x += 32) {
        const auto* i = reinterpret_cast<const __m256i*>(in + x);
        const __m256i w0 = _mm256_shuffle_epi8(_mm256_loadu_si256(i), sort);
        const __m256i w1 = _mm256_shuffle_epi8(_mm256_loadu_si256(i + 1), sort);
        const __m256i w2 = _mm256_shuffle_epi8(_mm256_loadu_si256(i + 2), sort);
        const __m256i w3 = _mm256_shuffle_epi8(_mm256_loadu_si256(i + 3), sort);
        const __m256i bg01 = _mm256_unpacklo_epi32(w0, w1), rx01 = _mm256_unpackhi_epi32(w0, w1);
        const __m256i bg23 = _mm256_unpacklo_epi32(w2, w3), rx23 = _mm256_unpackhi_epi32(w2, w3);
        const __m256i vb = _mm256_permutevar8x32_epi32(_mm256_unpacklo_epi64(bg01, bg23), order);
        const __m256i vg = _mm256_permutevar8x32_epi32(_mm256_unpackhi_epi64(bg01, bg23), order);
        const __m256i vr = _mm256_permutevar8x32_epi32(_mm256_unpacklo_epi64(rx01, rx23), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(b + x), vb);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(g + x), vg);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(r + x), vr);
    }
    unpack_xrgb_row_sse2(in + x, r + x, g + x, b + x, w - x);
}

__attribute__((target("avx512f,avx512bw"))) ORV_DECL_UNPACK_ROW(unpack_xrgb_row_avx512) {
    const __m512i sort = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
    // Of two vectors' groups: blue's eight in the low half, green's in the high; red's.
    const __m512i blueGreen = _mm512_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28, 1, 5, 9, 13, 17, 21, 25, 29);
    const __m512i red = _mm512_setr_epi32(2, 6, 10, 14, 18, 22, 26, 30, 2, 6, 10, 14, 18, 22, 26, 30);
    int32_t x = 0;
    for (; x + 64 <= w; x += 64) {
        const uint32_t* i = in + x;
        const __m512i w0 = _mm512_shuffle_epi8(_mm512_loadu_si512(i), sort);
        const __m512i w1 = _mm512_shuffle_epi8(_mm512_loadu_si512(i + 16), sort);
        const __m512i w2 = _mm512_shuffle_epi8(_mm512_loadu_si512(i + 32), sort);
        const __m512i w3 = _mm512_shuffle_epi8(_mm512_loadu_si512(i + 48), sort);
        const __m512i bg01 = _mm512_permutex2var_epi32(w0, blueGreen, w1);
        const __m512i bg23 = _mm512_permutex2var_epi32(w2, blueGreen, w3);
        const __m512i r01 = _mm512_permutex2var_epi32(w0, red, w1);
        const __m512i r23 = _mm512_permutex2var_epi32(w2, red, w3);
        _mm512_storeu_si512(b + x, _mm512_shuffle_i64x2(bg01, bg23, 0x44));
        _mm512_storeu_si512(g + x, _mm512_shuffle_i64x2(bg01, bg23, 0xEE));
        _mm512_storeu_si512(r + x, _mm512_shuffle_i64x2(r01, r23, 0x44));
    }
    unpack_xrgb_row_sse2(in + x, r + x, g + x, b + x, w - x);
}

}  // namespace orv::vs
