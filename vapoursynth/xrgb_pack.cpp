#include "vapoursynth/xrgb_pack.h"

#include <emmintrin.h>

#include "core/cpu_features.h"

namespace orv::vs {

ORV_DECL_PACK_ROW(pack_xrgb_row_reference) {
    for (int32_t x = 0; x < w; ++x)
        out[x] = static_cast<uint32_t>(b[x]) | static_cast<uint32_t>(g[x]) << 8 | static_cast<uint32_t>(r[x]) << 16;
}

ORV_DECL_UNPACK_ROW(unpack_xrgb_row_reference) {
    for (int32_t x = 0; x < w; ++x) {
        const uint32_t v = in[x];
        b[x] = static_cast<uint8_t>(v);
        g[x] = static_cast<uint8_t>(v >> 8);
        r[x] = static_cast<uint8_t>(v >> 16);
    }
}

// Sixteen pixels a step by byte interleaves alone (the vectoriser's own loops
// widened each byte to a word and shifted, at twice the cost), then the
// row's tail one by one.
ORV_DECL_PACK_ROW(pack_xrgb_row_sse2) {
    const __m128i zero = _mm_setzero_si128();
    int32_t x = 0;
    for (; x + 16 <= w; x += 16) {
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
        const __m128i vg = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x));
        const __m128i vr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
        const __m128i bgLo = _mm_unpacklo_epi8(vb, vg), bgHi = _mm_unpackhi_epi8(vb, vg);
        const __m128i r0Lo = _mm_unpacklo_epi8(vr, zero), r0Hi = _mm_unpackhi_epi8(vr, zero);
        auto* o = reinterpret_cast<__m128i*>(out + x);
        _mm_storeu_si128(o + 0, _mm_unpacklo_epi16(bgLo, r0Lo));
        _mm_storeu_si128(o + 1, _mm_unpackhi_epi16(bgLo, r0Lo));
        _mm_storeu_si128(o + 2, _mm_unpacklo_epi16(bgHi, r0Hi));
        _mm_storeu_si128(o + 3, _mm_unpackhi_epi16(bgHi, r0Hi));
    }
    pack_xrgb_row_reference(r + x, g + x, b + x, out + x, w - x);
}

ORV_DECL_UNPACK_ROW(unpack_xrgb_row_sse2) {
    int32_t x = 0;
    for (; x + 16 <= w; x += 16) {
        const auto* i = reinterpret_cast<const __m128i*>(in + x);
        const __m128i w0 = _mm_loadu_si128(i), w1 = _mm_loadu_si128(i + 1);
        const __m128i w2 = _mm_loadu_si128(i + 2), w3 = _mm_loadu_si128(i + 3);
        // Three rounds of interleaving sort the bytes by channel: B, G, R, X
        // of pixels 0-7 in two vectors, of pixels 8-15 in two more.
        const __m128i t0 = _mm_unpacklo_epi8(w0, w1), t1 = _mm_unpackhi_epi8(w0, w1);
        const __m128i t2 = _mm_unpacklo_epi8(w2, w3), t3 = _mm_unpackhi_epi8(w2, w3);
        const __m128i u0 = _mm_unpacklo_epi8(t0, t1), u1 = _mm_unpackhi_epi8(t0, t1);
        const __m128i u2 = _mm_unpacklo_epi8(t2, t3), u3 = _mm_unpackhi_epi8(t2, t3);
        const __m128i bg0 = _mm_unpacklo_epi8(u0, u1), rx0 = _mm_unpackhi_epi8(u0, u1);
        const __m128i bg1 = _mm_unpacklo_epi8(u2, u3), rx1 = _mm_unpackhi_epi8(u2, u3);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + x), _mm_unpacklo_epi64(bg0, bg1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(g + x), _mm_unpackhi_epi64(bg0, bg1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(r + x), _mm_unpacklo_epi64(rx0, rx1));
    }
    unpack_xrgb_row_reference(in + x, r + x, g + x, b + x, w - x);
}

namespace {

constexpr XrgbPack kPacks[] = {
    {"sse2", pack_xrgb_row_sse2, unpack_xrgb_row_sse2},
    {"avx2", pack_xrgb_row_avx2, unpack_xrgb_row_avx2},
    {"avx512", pack_xrgb_row_avx512, unpack_xrgb_row_avx512},
};

}  // namespace

const XrgbPack& xrgb_pack_for(const KernelSet& set) {
    if (set.needs == &CpuFeatures::avx512 || set.needs == &CpuFeatures::avx512vnni) return kPacks[2];
    if (set.needs == &CpuFeatures::avx2 || set.needs == &CpuFeatures::avxvnni) return kPacks[1];
    return kPacks[0];
}

}  // namespace orv::vs
