// The row steps in 256- and 512-bit vectors. Everything of a width sits in
// its own namespace under its own target (GCC's pragma, clang's attribute), so nothing else in this unit uses
// those instructions; yuv_to_xrgb.cpp calls them only where the processor
// has them.
#include <immintrin.h>

#include <cstdint>

#include "cli/frames/yuv_rows.h"

// GCC 12's AVX-512 intrinsics start from an "undefined" vector it then warns about.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// The 16 control bytes of a shuffle within each 128-bit lane that does the
// same to each of its four 32-bit elements.
static __m128i element_shuffle(int8_t a, int8_t b, int8_t c, int8_t d) {
    const auto at = [](int8_t i, int e) { return static_cast<char>(i < 0 ? -1 : i + 4 * e); };
    return _mm_setr_epi8(at(a, 0), at(b, 0), at(c, 0), at(d, 0), at(a, 1), at(b, 1), at(c, 1), at(d, 1), at(a, 2),
                         at(b, 2), at(c, 2), at(d, 2), at(a, 3), at(b, 3), at(c, 3), at(d, 3));
}

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace orv::cli::rows_avx2 {
namespace {

struct V {
    using T = __m256i;
    static constexpr int N = 8;
    static T load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    static void store(void* p, T a) { _mm256_storeu_si256(static_cast<__m256i*>(p), a); }
    static T u8(const uint8_t* p) { return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))); }
    static T set1(int32_t v) { return _mm256_set1_epi32(v); }
    static T add(T a, T b) { return _mm256_add_epi32(a, b); }
    static T sub(T a, T b) { return _mm256_sub_epi32(a, b); }
    static T mullo(T a, T b) { return _mm256_mullo_epi32(a, b); }
    static T madd(T a, T b) { return _mm256_madd_epi16(a, b); }
    template <int n> static T srai(T a) { return _mm256_srai_epi32(a, n); }
    template <int n> static T slli(T a) { return _mm256_slli_epi32(a, n); }
    static T sra(T a, int n) { return _mm256_sra_epi32(a, _mm_cvtsi32_si128(n)); }
    static T shuffle8(T a, T control) { return _mm256_shuffle_epi8(a, control); }
    // A byte shuffle that does the same within every 32-bit element: each
    // picks from its own element's bytes 0-3, or -1 for a zero.
    static T bytes(int8_t a, int8_t b, int8_t c, int8_t d) { return _mm256_broadcastsi128_si256(element_shuffle(a, b, c, d)); }
    static void interleave(T e, T o, T& lo, T& hi) {
        const T l = _mm256_unpacklo_epi32(e, o), h = _mm256_unpackhi_epi32(e, o);
        lo = _mm256_permute2x128_si256(l, h, 0x20);
        hi = _mm256_permute2x128_si256(l, h, 0x31);
    }
    static void deinterleave(T a, T b, T& even, T& odd) {
        const __m256 fa = _mm256_castsi256_ps(a), fb = _mm256_castsi256_ps(b);
        even = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(fa, fb, 0x88)), 0xD8);
        odd = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(fa, fb, 0xDD)), 0xD8);
    }
    // Channels to words, each saturated to 0..255 by the packs.
    static T pack_xrgb(T r, T g, T b) {
        const T bytes = _mm256_packus_epi16(_mm256_packs_epi32(b, g), _mm256_packs_epi32(r, r));
        const T order = _mm256_setr_epi8(0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1, 3, 7, 11, -1, 0, 4, 8, -1, 1, 5, 9,
                                         -1, 2, 6, 10, -1, 3, 7, 11, -1);
        return _mm256_shuffle_epi8(bytes, order);
    }
    // N bytes, each element saturated to 0..255.
    static void store_u8(uint8_t* p, T a) {
        const T w = _mm256_packs_epi32(a, a), b = _mm256_packus_epi16(w, w);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p),
                         _mm_unpacklo_epi32(_mm256_castsi256_si128(b), _mm256_extracti128_si256(b, 1)));
    }
};

#include "cli/frames/yuv_rows.inl"

}  // namespace
}  // namespace orv::cli::rows_avx2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vl,avx512dq"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512dq")
#endif
namespace orv::cli::rows_avx512 {
namespace {

struct V {
    using T = __m512i;
    static constexpr int N = 16;
    static T load(const void* p) { return _mm512_loadu_si512(p); }
    static void store(void* p, T a) { _mm512_storeu_si512(p, a); }
    static T u8(const uint8_t* p) { return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))); }
    static T set1(int32_t v) { return _mm512_set1_epi32(v); }
    static T add(T a, T b) { return _mm512_add_epi32(a, b); }
    static T sub(T a, T b) { return _mm512_sub_epi32(a, b); }
    static T mullo(T a, T b) { return _mm512_mullo_epi32(a, b); }
    static T madd(T a, T b) { return _mm512_madd_epi16(a, b); }
    template <int n> static T srai(T a) { return _mm512_srai_epi32(a, n); }
    template <int n> static T slli(T a) { return _mm512_slli_epi32(a, n); }
    static T sra(T a, int n) { return _mm512_sra_epi32(a, _mm_cvtsi32_si128(n)); }
    static T shuffle8(T a, T control) { return _mm512_shuffle_epi8(a, control); }
    static T bytes(int8_t a, int8_t b, int8_t c, int8_t d) { return _mm512_broadcast_i32x4(element_shuffle(a, b, c, d)); }
    static void interleave(T e, T o, T& lo, T& hi) {
        lo = _mm512_permutex2var_epi32(e, _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23), o);
        hi = _mm512_permutex2var_epi32(e, _mm512_setr_epi32(8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31), o);
    }
    static void deinterleave(T a, T b, T& even, T& odd) {
        even = _mm512_permutex2var_epi32(a, _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30), b);
        odd = _mm512_permutex2var_epi32(a, _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31), b);
    }
    static T pack_xrgb(T r, T g, T b) {
        const T bytes = _mm512_packus_epi16(_mm512_packs_epi32(b, g), _mm512_packs_epi32(r, r));
        return _mm512_shuffle_epi8(bytes, _mm512_broadcast_i32x4(_mm_setr_epi8(0, 4, 8, -1, 1, 5, 9, -1, 2, 6, 10, -1,
                                                                              3, 7, 11, -1)));
    }
    static void store_u8(uint8_t* p, T a) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm512_cvtusepi32_epi8(_mm512_max_epi32(a, _mm512_setzero_si512())));
    }
};

#include "cli/frames/yuv_rows.inl"

}  // namespace
}  // namespace orv::cli::rows_avx512
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace orv::cli {
const YuvRowKernels kYuvRowsAvx2 = rows_avx2::kRows;
const YuvRowKernels kYuvRowsAvx512 = rows_avx512::kRows;
}  // namespace orv::cli
