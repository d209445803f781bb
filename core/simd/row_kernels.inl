// The fast route's vector kernels: luma plane rows, the denoise and the
// colour rebuild, bit for bit the reference's results.
//
// One translation unit per instruction set includes this file, after defining
// ORV_SIMD(name) to give the kernels that set's names (core/simd/avx2.cpp,
// core/simd/avx512.cpp); for AVX-512 the heavy loops come from
// core/simd/row_kernels_512.inl instead. Those units alone are compiled with their flags (and
// never -mfma), so nothing here may be shared with the rest of the module:
// every helper is internal, and the only headers are the intrinsics, the C
// library and the plain kernel header.
//
// Integers: the luma samples, read from 16-bit copies of the plane rows, and
// the pair sums are 16-bit lanes (16 pixels per vector). Responses are formed
// by _mm256_madd_epi16 on interleaved pairs of pair sums, which puts pixels
// 0-3 and 8-11 in the "lo" 32-bit vector and 4-7 and 12-15 in "hi"; the
// decision runs in that order. All 32-bit lane arithmetic wraps, as the
// reference's does on settings from a script.
//
// Doubles: each product and sum is its own instruction in the reference's
// order, so nothing can be contracted or reassociated.
#if defined(__AVX512F__)
// GCC 12 takes the deliberately undefined inputs inside its own AVX-512
// intrinsics (_mm512_undefined_epi32) for uninitialised variables.
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/row_kernels.h"

namespace orv::kernels {

namespace {

// The helpers below are small and called with constant arguments; they only
// pay when inlined and unrolled into the chunk loop.
#define ORV_INLINE inline __attribute__((always_inline))

constexpr int kLanes = 16;  // pixels per chunk
#if defined(__AVX512BW__)
constexpr uintptr_t kStreamAlign = 64;  // what a non-temporal store of a vector needs
#else
constexpr uintptr_t kStreamAlign = 16;
#endif
constexpr int kReach = 6;

// --- colour ---------------------------------------------------------------

// (a, b) 16-bit weights for _mm256_madd_epi16 on unpacked (x, y) lanes: a*x + b*y.
inline __m256i weights(int32_t a, int32_t b) {
    return _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(b) << 16 | (static_cast<uint32_t>(a) & 0xFFFF)));
}

// acc + a*b pairwise as _mm256_madd_epi16 forms it, in one vpdpwssd where the
// unit is built for a processor with VNNI. Either way the sums wrap alike.
ORV_INLINE __m256i madd_add(__m256i acc, __m256i a, __m256i b) {
#if defined(__AVXVNNI__)
    return _mm256_dpwssd_avx_epi32(acc, a, b);
#elif defined(__AVX512VNNI__)
    return _mm256_dpwssd_epi32(acc, a, b);
#else
    return _mm256_add_epi32(acc, _mm256_madd_epi16(a, b));
#endif
}

struct Rgb {
    __m256d r, g, b;
};

inline Rgb channels(__m128i words) {
    const __m128i m = _mm_set1_epi32(0xFF);
    return Rgb{_mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(words, 16), m)),
               _mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(words, 8), m)),
               _mm256_cvtepi32_pd(_mm_and_si128(words, m))};
}

inline __m256d mul(__m256d a, double k) { return _mm256_mul_pd(a, _mm256_set1_pd(k)); }
inline __m256d add(__m256d a, __m256d b) { return _mm256_add_pd(a, b); }
inline __m256d sub(__m256d a, __m256d b) { return _mm256_sub_pd(a, b); }

// (G*0.587 + R*0.299) + B*0.114
inline __m256d luma(const Rgb& c) { return add(add(mul(c.g, 0.587), mul(c.r, 0.299)), mul(c.b, 0.114)); }

inline __m256d trunc_pd(__m256d x) { return _mm256_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }

// 127 + min(max(5*(in - out), -127), 128) for one channel's lanes.
ORV_INLINE __m128i noise_channel(__m128i in, __m128i out) {
    const __m128i d = _mm_sub_epi32(in, out);
    const __m128i five = _mm_add_epi32(_mm_slli_epi32(d, 2), d);
    const __m128i clamped = _mm_min_epi32(_mm_max_epi32(five, _mm_set1_epi32(-127)), _mm_set1_epi32(128));
    return _mm_add_epi32(clamped, _mm_set1_epi32(127));
}

// The show-noise picture of four words' change.
ORV_INLINE __m128i noise_words(__m128i in, __m128i out) {
    const __m128i m = _mm_set1_epi32(0xFF);
    auto channel = [&](int shift) {
        return noise_channel(_mm_and_si128(_mm_srli_epi32(in, shift), m), _mm_and_si128(_mm_srli_epi32(out, shift), m));
    };
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(channel(16), 16), _mm_slli_epi32(channel(8), 8)), channel(0));
}

// Sixteen source words and their corrections (in four groups of four) to
// sixteen output words. A truncation whose integer goes straight back into
// double arithmetic is taken as a rounding toward zero in double, which gives
// the same value; the channels' clamp to 0..255 is the saturation of the packs.
template <bool ShowNoise>
ORV_INLINE void rebuild16(const __m128i (&words)[4], const __m128i (&S)[4], uint32_t* output) {
    const __m256d half = _mm256_set1_pd(0.5);
    __m128i red[4], green[4], blue[4];
    // Step by step across the four groups, so that the out-of-order core
    // finds independent work next to every long-latency conversion.
    __m256d r[4], g[4], b[4], y[4], u[4], v[4];
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        const Rgb c = channels(words[k]);
        r[k] = c.r, g[k] = c.g, b[k] = c.b;
    }
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) y[k] = add(add(mul(g[k], 0.587), mul(r[k], 0.299)), mul(b[k], 0.114));
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) u[k] = add(sub(mul(r[k], -0.147), mul(g[k], 0.289)), mul(b[k], 0.436));
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) v[k] = add(sub(mul(r[k], 0.615), mul(g[k], 0.515)), mul(b[k], 0.1));
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        y[k] = trunc_pd(sub(y[k], _mm256_cvtepi32_pd(S[k])));
        u[k] = trunc_pd(u[k]);
        v[k] = trunc_pd(v[k]);
    }
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k)
        red[k] = _mm256_cvttpd_epi32(add(add(sub(mul(y[k], 0.772), mul(u[k], 0.4633)), mul(v[k], 1.14)), half));
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k)
        green[k] = _mm256_cvttpd_epi32(add(sub(sub(mul(y[k], 1.1161), mul(u[k], 0.1587)), mul(v[k], 0.5806)), half));
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k)
        blue[k] = _mm256_cvttpd_epi32(add(sub(add(mul(y[k], 1.0001), mul(u[k], 2.0322)), mul(v[k], 0.0005)), half));
    auto bytes = [](const __m128i (&v)[4]) {
        return _mm_packus_epi16(_mm_packs_epi32(v[0], v[1]), _mm_packs_epi32(v[2], v[3]));
    };
    const __m128i r8 = bytes(red), g8 = bytes(green), b8 = bytes(blue), zero = _mm_setzero_si128();
    const __m128i bgLo = _mm_unpacklo_epi8(b8, g8), bgHi = _mm_unpackhi_epi8(b8, g8);
    const __m128i r0Lo = _mm_unpacklo_epi8(r8, zero), r0Hi = _mm_unpackhi_epi8(r8, zero);
    __m128i out[4] = {_mm_unpacklo_epi16(bgLo, r0Lo), _mm_unpackhi_epi16(bgLo, r0Lo), _mm_unpacklo_epi16(bgHi, r0Hi),
                      _mm_unpackhi_epi16(bgHi, r0Hi)};
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        if (ShowNoise) out[k] = noise_words(words[k], out[k]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(output + 4 * k), out[k]);
    }
}

// The same rebuild in 32-bit integers, exact wherever no intermediate is an
// exact multiple of its divisor. With n = 1000*y and nu, nv likewise (< 2^18
// in magnitude), and a channel's numerator N = 10000*(channel + 0.5) from the
// integer Y, U, V, each truncation of the model is n/1000 or N/10000
// truncated. Away from multiples those quotients lie at least 0.001 (0.0001)
// from an integer, and the model's double rounding (below 1e-11 here) cannot
// move them across one. At a multiple the model may land either side: eight
// pixels with such a Y, U or V (every pure grey among them) take those three
// from double, and eight with such a channel (rare) are redone in double
// throughout. Beyond |Y| = 1000 every channel is saturated whatever U and V
// are, so Y is clamped there to keep the pairs 16-bit; that also keeps every
// channel numerator below 2^24 in magnitude, held exactly in float.
//
// n / divisor truncated, exactly, and n's remainder folded into `least` as
// an unsigned minimum, so that `least` is zero where some numerator was a
// multiple. `inverse` is the float just above 1/divisor: a multiple's
// product then never rounds below its quotient, and the excess (under 5e-8
// of the quotient) cannot carry any other numerator within reach to the next
// integer. That holds for every n up to 2^18 with 1000, and with 10000 for
// every numerator in 1 .. 2559999, the rest giving channels that saturate
// whatever they truncate to; the quotient fits 16 bits, as the remainder's
// multiply-add needs.
constexpr float kInverse1000 = 0x1.0624dep-10f;   // 0.001f, already above 1/1000
constexpr float kInverse10000 = 0x1.a36e3p-14f;   // one step above 0.0001f, which is below
ORV_INLINE __m256i quotient(__m256i n, float inverse, int16_t divisor, __m256i& least) {
    const __m256i q = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n), _mm256_set1_ps(inverse)));
    least = _mm256_min_epu32(least, madd_add(n, q, weights(static_cast<int16_t>(-divisor), 0)));
    return q;
}

// Grey levels g, one bit per level, whose model luma (g*0.587 + g*0.299) +
// g*0.114 is exactly g, whose U truncates to 0 and whose V (0.2*g, a
// multiple at every fifth level) truncates as the float quotient does. The
// other greys' luma lies a rounding off g, or their V a rounding off g/5.
alignas(32) constexpr uint32_t kExactGreys[8] = {0xB3BE56E9u, 0xC5A7EF76u, 0x76FDBFBEu, 0x7AB3EE9Fu,
                                                 0xCFDF6FFEu, 0xBD3E7DDBu, 0x7E7CE3F7u, 0x35EC67ADu};

// Pure greys are exact multiples (U's numerator is 0), and common (black
// borders). A grey of such a level has U = 0, Y = g - S, and V as computed.
// When every lane in `multiple` is such a grey, this sets theirs and says so.
ORV_INLINE bool plain_greys(__m256i w, __m256i S, __m256i multiple, __m256i& yi, __m256i& ui) {
    const __m256i g = _mm256_and_si256(w, _mm256_set1_epi32(0xFF));
    const __m256i ggg = _mm256_or_si256(_mm256_or_si256(g, _mm256_slli_epi32(g, 8)), _mm256_slli_epi32(g, 16));
    const __m256i grey = _mm256_cmpeq_epi32(_mm256_and_si256(w, _mm256_set1_epi32(0xFFFFFF)), ggg);
    const __m256i word = _mm256_permutevar8x32_epi32(_mm256_load_si256(reinterpret_cast<const __m256i*>(kExactGreys)),
                                                     _mm256_srli_epi32(g, 5));
    const __m256i bit = _mm256_and_si256(_mm256_srlv_epi32(word, _mm256_and_si256(g, _mm256_set1_epi32(31))),
                                         _mm256_set1_epi32(1));
    const __m256i plain = _mm256_and_si256(grey, _mm256_cmpeq_epi32(bit, _mm256_set1_epi32(1)));
    if (!_mm256_testc_si256(plain, multiple)) return false;
    yi = _mm256_blendv_epi8(yi, _mm256_sub_epi32(g, S), plain);
    ui = _mm256_andnot_si256(plain, ui);
    return true;
}

// Y, U and V of eight words in double, for lanes the integers can't settle.
// Out of line, like the other detours: inlined, they would crowd the hot
// loops' registers and code for work that is rarely done.
struct Yuv8 {
    __m256i y, u, v;
};

__attribute__((noinline)) Yuv8 yuv8_double(__m256i w, __m256i S) {
    __m128i y4[2], u4[2], v4[2];
    for (int h = 0; h < 2; ++h) {
        const __m128i wh = h == 0 ? _mm256_castsi256_si128(w) : _mm256_extracti128_si256(w, 1);
        const __m128i sh = h == 0 ? _mm256_castsi256_si128(S) : _mm256_extracti128_si256(S, 1);
        const Rgb c = channels(wh);
        y4[h] = _mm256_cvttpd_epi32(sub(luma(c), _mm256_cvtepi32_pd(sh)));
        u4[h] = _mm256_cvttpd_epi32(add(sub(mul(c.r, -0.147), mul(c.g, 0.289)), mul(c.b, 0.436)));
        v4[h] = _mm256_cvttpd_epi32(add(sub(mul(c.r, 0.615), mul(c.g, 0.515)), mul(c.b, 0.1)));
    }
    return Yuv8{_mm256_setr_m128i(y4[0], y4[1]), _mm256_setr_m128i(u4[0], u4[1]), _mm256_setr_m128i(v4[0], v4[1])};
}

// N blocks of eight words in lockstep, each step across all blocks before
// the next: one block's arithmetic is a single long chain of conversions,
// and the others' work beside it is what keeps the vector units busy.
// `least` is zero in each lane whose channel numerator was a multiple.
// FromLuma: `luma` holds the words' samples and `multiples` their multiple
// bits, a byte per block (see luma_row), and Y is the sample plus a fraction
// except where a bit is set.
template <int N, bool FromLuma = false>
ORV_INLINE void rebuild_int(const __m256i (&w)[N], const __m256i (&S)[N], __m256i (&out)[N], __m256i (&least)[N],
                            const int16_t* luma = nullptr, const uint8_t* multiples = nullptr) {
    const __m256i bgMask = _mm256_setr_epi8(0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1,  //
                                            0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1);
    const __m256i rMask = _mm256_setr_epi8(2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1,  //
                                           2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1);
    __m256i yi[N], ui[N], vi[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const __m256i bg = _mm256_shuffle_epi8(w[k], bgMask), r0 = _mm256_shuffle_epi8(w[k], rMask);
        const __m256i nu = madd_add(_mm256_madd_epi16(bg, weights(436, -289)), r0, weights(-147, 0));
        const __m256i nv = madd_add(_mm256_madd_epi16(bg, weights(100, -515)), r0, weights(615, 0));
        least[k] = _mm256_set1_epi32(-1);
        __m256i floorY;
        if constexpr (FromLuma) {
            floorY = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + 8 * k)));
        } else {
            const __m256i ny = madd_add(_mm256_madd_epi16(bg, weights(114, 587)), r0, weights(299, 0));
            floorY = quotient(ny, kInverse1000, 1000, least[k]);
        }
        // y - S truncated: floor(y) - S, one more where that is negative.
        const __m256i m = _mm256_sub_epi32(floorY, S[k]);
        yi[k] = _mm256_sub_epi32(m, _mm256_cmpgt_epi32(_mm256_setzero_si256(), m));
        ui[k] = quotient(nu, kInverse1000, 1000, least[k]);
        vi[k] = quotient(nv, kInverse1000, 1000, least[k]);
    }
    uint32_t anyY = 0;  // multiples' bytes together: rarely any set
    if constexpr (FromLuma) std::memcpy(&anyY, multiples, N);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        __m256i multiple = _mm256_cmpeq_epi32(least[k], _mm256_setzero_si256());
        if (FromLuma && anyY != 0 && multiples[k] != 0) {
            const __m256i bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
            multiple = _mm256_or_si256(
                multiple, _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(multiples[k]), bit), bit));
        }
        if (!_mm256_testz_si256(multiple, multiple) && !plain_greys(w[k], S[k], multiple, yi[k], ui[k])) {
            const Yuv8 d = yuv8_double(w[k], S[k]);
            yi[k] = d.y, ui[k] = d.u, vi[k] = d.v;
        }
    }
    __m256i yu[N], v1[N], red[N], green[N], blue[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        least[k] = _mm256_set1_epi32(-1);
        const __m256i y = _mm256_min_epi32(_mm256_max_epi32(yi[k], _mm256_set1_epi32(-1000)), _mm256_set1_epi32(1000));
        yu[k] = _mm256_blend_epi16(y, _mm256_slli_epi32(ui[k], 16), 0xAA);
        v1[k] = _mm256_blend_epi16(vi[k], _mm256_set1_epi32(1 << 16), 0xAA);
    }
    auto channel = [&](int k, int16_t ky, int16_t ku, int16_t kv) {
        const __m256i n = madd_add(_mm256_madd_epi16(yu[k], weights(ky, ku)), v1[k], weights(kv, 5000));
        return quotient(n, kInverse10000, 10000, least[k]);
    };
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) red[k] = channel(k, 7720, -4633, 11400);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) green[k] = channel(k, 11161, -1587, -5806);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) blue[k] = channel(k, 10001, 20322, -5);
    // Bytes b0-3 g0-3 r0-3 0000 in each half, the channels' clamp being the
    // packs' saturation, then each pixel's b g r 0 gathered.
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const __m256i bgr0 = _mm256_packus_epi16(_mm256_packs_epi32(blue[k], green[k]),
                                                 _mm256_packs_epi32(red[k], _mm256_setzero_si256()));
        out[k] = _mm256_shuffle_epi8(bgr0, _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,  //
                                                            0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
    }
}

// Eight words through the sixteen-word double rebuild: rare enough that the
// detour costs little.
template <bool ShowNoise>
__attribute__((noinline)) void rebuild8_double(const uint32_t* words, const int32_t* S, uint32_t* output) {
    alignas(16) uint32_t wd[16] = {};
    alignas(16) int32_t sd[16] = {};
    alignas(16) uint32_t od[16];
    std::memcpy(wd, words, 8 * sizeof(uint32_t));
    std::memcpy(sd, S, 8 * sizeof(int32_t));
    __m128i wv[4], sv[4];
    for (int g = 0; g < 4; ++g) {
        wv[g] = _mm_load_si128(reinterpret_cast<const __m128i*>(wd + 4 * g));
        sv[g] = _mm_load_si128(reinterpret_cast<const __m128i*>(sd + 4 * g));
    }
    rebuild16<ShowNoise>(wv, sv, od);
    std::memcpy(output, od, 8 * sizeof(uint32_t));
}

// 8*N words from `words` and `S` to `output`, which may be `words`.
template <bool ShowNoise, int N, bool FromLuma>
ORV_INLINE void rebuild_lanes(const uint32_t* words, const int32_t* S, uint32_t* output, bool stream,
                              const int16_t* luma, const uint8_t* multiples) {
    __m256i w[N], s[N], out[N];
    __m256i least[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        w[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + 8 * k));
        s[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(S + 8 * k));
    }
    rebuild_int<N, FromLuma>(w, s, out, least, luma, multiples);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const __m256i multiple = _mm256_cmpeq_epi32(least[k], _mm256_setzero_si256());
        if (!_mm256_testz_si256(multiple, multiple)) {
            rebuild8_double<ShowNoise>(words + 8 * k, S + 8 * k, output + 8 * k);
            continue;
        }
        __m128i lo = _mm256_castsi256_si128(out[k]), hi = _mm256_extracti128_si256(out[k], 1);
        if (ShowNoise) {
            lo = noise_words(_mm256_castsi256_si128(w[k]), lo);
            hi = noise_words(_mm256_extracti128_si256(w[k], 1), hi);
        }
        __m128i* o = reinterpret_cast<__m128i*>(output + 8 * k);
        if (stream) {
            _mm_stream_si128(o, lo);
            _mm_stream_si128(o + 1, hi);
        } else {
            _mm_storeu_si128(o, lo);
            _mm_storeu_si128(o + 1, hi);
        }
    }
}

// Sixteen luma bytes from sixteen words, and their 16-bit samples if wanted:
// the colour model's arithmetic in double.
ORV_INLINE void luma16_double(const uint32_t* words, uint8_t* plane, int16_t* wide) {
    __m128i y[4];
    for (int g = 0; g < 4; ++g) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + 4 * g));
        y[g] = _mm256_cvttpd_epi32(luma(channels(w)));
    }
    const __m128i lo = _mm_packs_epi32(y[0], y[1]), hi = _mm_packs_epi32(y[2], y[3]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(plane), _mm_packus_epi16(lo, hi));
    if (wide != nullptr) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wide), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wide + 8), hi);
    }
}

// The same in integers where that is exact. The luma is n/1000 truncated,
// n = 587G + 299R + 114B < 2^18, which n * kInverse1000 gives exactly (see
// quotient). Unless n is a multiple of 1000, n/1000 lies at least 0.001 from
// an integer, far beyond the rounding of the double model, so the model
// truncates to the same byte. At a multiple the model may land just below
// it: such chunks (pure greys among them) take the double path.
// Thirty-two words a step, in four blocks of eight in lockstep; a multiple
// sends its sixteen-word half to the double path.
constexpr int kLumaLanes = 32;

ORV_INLINE void luma32(const uint32_t* words, uint8_t* plane, int16_t* wide, uint8_t* multiples) {
    const __m256i bg = _mm256_setr_epi8(0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1,  //
                                        0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1);
    const __m256i r0 = _mm256_setr_epi8(2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1,  //
                                        2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1);
    const __m256i kBG = _mm256_set1_epi32(587 << 16 | 114), kR = _mm256_set1_epi32(299), minus1000 = weights(-1000, 0);
    __m256i n[4], q[4];
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h) {
        const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + 8 * h));
        n[h] = madd_add(_mm256_madd_epi16(_mm256_shuffle_epi8(w, bg), kBG), _mm256_shuffle_epi8(w, r0), kR);
    }
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h)
        q[h] = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(n[h]), _mm256_set1_ps(kInverse1000)));
    __m256i multiple[4];  // lanes whose n is a multiple of 1000
#pragma GCC unroll 4
    for (int h = 0; h < 4; ++h)
        multiple[h] = _mm256_cmpeq_epi32(madd_add(n[h], q[h], minus1000), _mm256_setzero_si256());
#pragma GCC unroll 2
    for (int half = 0; half < 2; ++half) {
        const __m256i rest = _mm256_or_si256(multiple[2 * half], multiple[2 * half + 1]);
        int16_t* wideHalf = wide != nullptr ? wide + 16 * half : nullptr;
        uint8_t* bits = multiples != nullptr ? multiples + 2 * half : nullptr;
        if (!_mm256_testz_si256(rest, rest)) {
            luma16_double(words + 16 * half, plane + 16 * half, wideHalf);
            if (bits != nullptr)
                for (int h = 0; h < 2; ++h)
                    bits[h] = static_cast<uint8_t>(_mm256_movemask_ps(_mm256_castsi256_ps(multiple[2 * half + h])));
            continue;
        }
        if (bits != nullptr) bits[0] = bits[1] = 0;
        const __m256i y16 = _mm256_permute4x64_epi64(_mm256_packs_epi32(q[2 * half], q[2 * half + 1]), 0xD8);
        const __m128i lo = _mm256_castsi256_si128(y16), hi = _mm256_extracti128_si256(y16, 1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(plane + 16 * half), _mm_packus_epi16(lo, hi));
        if (wideHalf != nullptr) _mm256_storeu_si256(reinterpret_cast<__m256i*>(wideHalf), y16);
    }
}

// --- denoise --------------------------------------------------------------

// Sixteen samples at (row offset t in vertical steps, column offset dx) from
// the chunk's pixels, as 16-bit lanes, each already replaced by the centre
// where the reference's border rule says so.

// Every neighbour inside the frame: straight loads from the 16-bit rows.
struct InsideFetch {
    const int16_t* const* rows;  // rows[t + kReach] at the chunk's first column
    ORV_INLINE __m256i at(int t, int dx) const {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[t + kReach] + dx));
    }
};

// Near an edge: the same loads, which reach into the lines' marked samples
// (kLinePad of them each side, and marked lines for rows outside the frame),
// and a marked lane takes the centre.
struct MarkedFetch {
    const int16_t* const* rows;
    __m256i centre;
    ORV_INLINE __m256i at(int t, int dx) const {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[t + kReach] + dx));
        return _mm256_blendv_epi8(v, centre, _mm256_cmpeq_epi16(v, _mm256_set1_epi16(kOutside)));
    }
};


// How a pass decides, chosen once per row from its settings:
//   kWrapping: thresholds that may wrap, 10*|R| > T with T = a2000 - k2000*E;
//   kTenth:    |R| > 200*(a - k*E), the threshold's factor from one
//              _mm256_madd_epi16 on (E, 1) pairs against (-k, a), exact
//              because a and k fit 16 bits where nothing wraps;
//   kPair:     the same threshold whole from one _mm256_madd_epi16 on
//              (E, f) pairs against (-200*k, 2000), where 200*k and f fit
//              16 bits (a = 10*f there): the usual strengths;
//   0..6:      kPair with sharp known, its product by shifts and adds.
// The modes that know sharp keep the single vector-multiply port of some
// processors free for the responses.
constexpr int kWrapping = -3, kTenth = -2, kPair = -1, kMaxShiftSharp = 6;

struct Consts {
    __m256i k1_12, k1_34, k1_56, k2_12, k2_34, k2_56;
    __m256i a1, k1, a2, k2, negSharp;
    __m256i ka1, ka2;  // the threshold's pair weights, (-k, a) or (-200*k, 2000)
    __m256i f1, f2;    // what E is paired with: 1, or f in kPair
    Consts(const PassConstants& pc, int mode)
        : k1_12(weights(4464, 2864)), k1_34(weights(608, -1788)), k1_56(weights(-3773, -4895)),
          k2_12(weights(2864, -1788)), k2_34(weights(-4895, -3773)), k2_56(weights(608, 4464)),
          a1(_mm256_set1_epi32(pc.a1x2000)), k1(_mm256_set1_epi32(pc.k1x2000)),
          a2(_mm256_set1_epi32(pc.a2x2000)), k2(_mm256_set1_epi32(pc.k2x2000)),
          negSharp(_mm256_set1_epi32(pc.negSharp)),
          ka1(mode == kWrapping ? _mm256_setzero_si256()
              : mode == kTenth  ? weights(-(pc.k1x200 / 200), pc.a1x200 / 200)
                                : weights(-pc.k1x200, 2000)),
          ka2(mode == kWrapping ? _mm256_setzero_si256()
              : mode == kTenth  ? weights(-(pc.k2x200 / 200), pc.a2x200 / 200)
                                : weights(-pc.k2x200, 2000)),
          f1(_mm256_set1_epi16(static_cast<int16_t>(mode >= kPair ? pc.f1 : 1))),
          f2(_mm256_set1_epi16(static_cast<int16_t>(mode >= kPair ? pc.f2 : 1))) {}
};

int decision_mode(const PassConstants& pc) {
    auto fits16 = [](int32_t x) { return x >= -32767 && x <= 32767; };
    if (pc.tenthThresholds == 0 || !fits16(pc.a1x200 / 200) || !fits16(pc.k1x200 / 200) ||
        !fits16(pc.a2x200 / 200) || !fits16(pc.k2x200 / 200))
        return kWrapping;
    if (!fits16(pc.f1) || !fits16(pc.f2) || !fits16(pc.k1x200) || !fits16(pc.k2x200)) return kTenth;
    if (pc.negSharp <= 0 && pc.negSharp >= -kMaxShiftSharp) return static_cast<int>(-pc.negSharp);
    return kPair;
}

// f<Mode>() for the pass's mode.
template <class F>
ORV_INLINE void with_mode(int mode, F&& f) {
    switch (mode) {
        case kWrapping: return f(std::integral_constant<int, kWrapping>{});
        case kTenth: return f(std::integral_constant<int, kTenth>{});
        case kPair: return f(std::integral_constant<int, kPair>{});
        case 0: return f(std::integral_constant<int, 0>{});
        case 1: return f(std::integral_constant<int, 1>{});
        case 2: return f(std::integral_constant<int, 2>{});
        case 3: return f(std::integral_constant<int, 3>{});
        case 4: return f(std::integral_constant<int, 4>{});
        case 5: return f(std::integral_constant<int, 5>{});
        default: return f(std::integral_constant<int, 6>{});
    }
}

// (-(sharp * R)) >> 5 for a sharp the mode knows, or by multiplication. Where
// sharp is known nothing wraps, so (-(2^m * R)) >> 5 is (-R) >> (5 - m).
template <int Mode>
ORV_INLINE __m256i structure_of(__m256i R, const Consts& q) {
    const __m256i zero = _mm256_setzero_si256();
    if constexpr (Mode < 0) return _mm256_srai_epi32(_mm256_mullo_epi32(R, q.negSharp), 5);
    else if constexpr (Mode == 0) return zero;
    else if constexpr (Mode == 1) return _mm256_srai_epi32(_mm256_sub_epi32(zero, R), 5);
    else if constexpr (Mode == 2) return _mm256_srai_epi32(_mm256_sub_epi32(zero, R), 4);
    else if constexpr (Mode == 4) return _mm256_srai_epi32(_mm256_sub_epi32(zero, R), 3);
    else if constexpr (Mode == 3) return _mm256_srai_epi32(_mm256_sub_epi32(R, _mm256_slli_epi32(R, 2)), 5);
    else if constexpr (Mode == 5)
        return _mm256_srai_epi32(_mm256_sub_epi32(_mm256_sub_epi32(zero, R), _mm256_slli_epi32(R, 2)), 5);
    else return _mm256_srai_epi32(_mm256_sub_epi32(_mm256_slli_epi32(R, 1), _mm256_slli_epi32(R, 3)), 5);
}

// One response against its threshold: noise keeps R, structure gives
// (-sharp*R) >> 5. `E` holds the 16-bit E in the low half of each 32-bit
// lane and its pair (1, or f) in the high half; `a`, `k` and `ka` are that
// response's constants.
template <int Mode>
ORV_INLINE __m256i respond(__m256i R, __m256i E, __m256i a, __m256i k, __m256i ka, const Consts& q) {
    const __m256i absR = _mm256_abs_epi32(R);
    __m256i lhs, T;
    if constexpr (Mode == kWrapping) {
        const __m256i e = _mm256_and_si256(E, _mm256_set1_epi32(0xFFFF));
        T = _mm256_sub_epi32(a, _mm256_mullo_epi32(k, e));
        lhs = _mm256_mullo_epi32(absR, _mm256_set1_epi32(10));
    } else if constexpr (Mode == kTenth) {
        const __m256i t = _mm256_madd_epi16(E, ka);  // a - k*E
        T = _mm256_add_epi32(_mm256_add_epi32(_mm256_slli_epi32(t, 7), _mm256_slli_epi32(t, 6)),
                             _mm256_slli_epi32(t, 3));
        lhs = absR;
    } else {
        T = _mm256_madd_epi16(E, ka);  // 200*(a - k*E)
        lhs = absR;
    }
    const __m256i big = _mm256_cmpgt_epi32(lhs, T);
    if constexpr (Mode == 0) return _mm256_andnot_si256(big, R);
    else return _mm256_blendv_epi8(R, structure_of<Mode>(R, q), big);
}

// Rows and columns of the minus-side neighbour at distance 1, per direction:
// horizontal, vertical, falling diagonal, rising diagonal.
constexpr int kDirRow[4] = {0, -1, -1, -1};
constexpr int kDirCol[4] = {-1, 0, -1, 1};

// The corrections S of sixteen pixels, stored in pixel order.
template <int Mode, class Fetch>
ORV_INLINE void corrections16(const Fetch& f, __m256i c, const Consts& q, int32_t* S) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i c5041 = _mm256_set1_epi32(5041);
    const __m256i centreLo = _mm256_madd_epi16(_mm256_unpacklo_epi16(c, zero), c5041);
    const __m256i centreHi = _mm256_madd_epi16(_mm256_unpackhi_epi16(c, zero), c5041);
    __m256i sumLo = zero, sumHi = zero;
#pragma GCC unroll 4
    for (int dir = 0; dir < 4; ++dir) {
        __m256i P[kReach + 1];
#pragma GCC unroll 6
        for (int d = 1; d <= kReach; ++d)
            P[d] = _mm256_add_epi16(f.at(kDirRow[dir] * d, kDirCol[dir] * d),
                                    f.at(-kDirRow[dir] * d, -kDirCol[dir] * d));
        // E1 = |x + y|, E2 = |x - y| with x = P1 - P4, y = (P2 + P3) - (P5 + P6).
        const __m256i x = _mm256_sub_epi16(P[1], P[4]);
        const __m256i y = _mm256_sub_epi16(_mm256_add_epi16(P[2], P[3]), _mm256_add_epi16(P[5], P[6]));
        const __m256i e1 = _mm256_abs_epi16(_mm256_add_epi16(x, y));
        const __m256i e2 = _mm256_abs_epi16(_mm256_sub_epi16(x, y));

        const __m256i p12Lo = _mm256_unpacklo_epi16(P[1], P[2]), p12Hi = _mm256_unpackhi_epi16(P[1], P[2]);
        const __m256i p34Lo = _mm256_unpacklo_epi16(P[3], P[4]), p34Hi = _mm256_unpackhi_epi16(P[3], P[4]);
        const __m256i p56Lo = _mm256_unpacklo_epi16(P[5], P[6]), p56Hi = _mm256_unpackhi_epi16(P[5], P[6]);
        auto response = [&](__m256i centre, __m256i p12, __m256i p34, __m256i p56, __m256i k12, __m256i k34,
                            __m256i k56) {
            return madd_add(madd_add(madd_add(centre, p12, k12), p34, k34), p56, k56);
        };
        const __m256i r1Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k1_12, q.k1_34, q.k1_56);
        const __m256i r1Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k1_12, q.k1_34, q.k1_56);
        const __m256i r2Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k2_12, q.k2_34, q.k2_56);
        const __m256i r2Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k2_12, q.k2_34, q.k2_56);
        sumLo = _mm256_add_epi32(sumLo, respond<Mode>(r1Lo, _mm256_unpacklo_epi16(e1, q.f1), q.a1, q.k1, q.ka1, q));
        sumHi = _mm256_add_epi32(sumHi, respond<Mode>(r1Hi, _mm256_unpackhi_epi16(e1, q.f1), q.a1, q.k1, q.ka1, q));
        sumLo = _mm256_add_epi32(sumLo, respond<Mode>(r2Lo, _mm256_unpacklo_epi16(e2, q.f2), q.a2, q.k2, q.ka2, q));
        sumHi = _mm256_add_epi32(sumHi, respond<Mode>(r2Hi, _mm256_unpackhi_epi16(e2, q.f2), q.a2, q.k2, q.ka2, q));
    }
    const __m256i sLo = _mm256_srai_epi32(sumLo, 16), sHi = _mm256_srai_epi32(sumHi, 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(S), _mm256_castsi256_si128(sLo));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(S + 4), _mm256_castsi256_si128(sHi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(S + 8), _mm256_extracti128_si256(sLo, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(S + 12), _mm256_extracti128_si256(sHi, 1));
}

#if defined(__AVX512BW__)
#include "core/simd/row_kernels_512.inl"
#endif

// Words per rebuild step: four blocks of eight in lockstep, or two 512-bit
// blocks of sixteen.
constexpr int kRebuildLanes = 32;

// kRebuildLanes words from `words` and `S` to `output`, which may be `words`.
// `stream`: non-temporal stores, `output` aligned to the vectors' size.
// FromLuma: Y from the words' samples and multiple bits (see rebuild_int).
template <bool ShowNoise, bool FromLuma>
ORV_INLINE void rebuild_step(const uint32_t* words, const int32_t* S, uint32_t* output, bool stream,
                             const int16_t* luma, const uint8_t* multiples) {
#if defined(__AVX512BW__)
    constexpr int N = kRebuildLanes / 16;
    __m512i w[N], s[N], out[N];
    __mmask16 multiple[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        w[k] = _mm512_loadu_si512(words + 16 * k);
        s[k] = _mm512_loadu_si512(S + 16 * k);
    }
    rebuild_int512<N, FromLuma>(w, s, out, multiple, luma, multiples);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        if (multiple[k] != 0) {
            rebuild8_double<ShowNoise>(words + 16 * k, S + 16 * k, output + 16 * k);
            rebuild8_double<ShowNoise>(words + 16 * k + 8, S + 16 * k + 8, output + 16 * k + 8);
            continue;
        }
        const __m512i o = ShowNoise ? noise_words512(w[k], out[k]) : out[k];
        if (stream) _mm512_stream_si512(reinterpret_cast<__m512i*>(output + 16 * k), o);
        else _mm512_storeu_si512(output + 16 * k, o);
    }
#else
    rebuild_lanes<ShowNoise, kRebuildLanes / 8, FromLuma>(words, S, output, stream, luma, multiples);
#endif
}

// `count` words from `words` and `S` to `out`, which may be `words`: each
// step's words are read before any is written. The last, short step goes
// through zeroed buffers, as S past the last chunk holds nothing.
template <bool ShowNoise, bool FromLuma = false>
void rebuild_words(const uint32_t* words, const int32_t* S, int32_t count, uint32_t* out, bool stream = false,
                   const int16_t* luma = nullptr, const uint8_t* multiples = nullptr) {
    int32_t i = 0;
    for (; i + kRebuildLanes <= count; i += kRebuildLanes)
        rebuild_step<ShowNoise, FromLuma>(words + i, S + i, out + i, stream, FromLuma ? luma + i : nullptr,
                                          FromLuma ? multiples + i / 8 : nullptr);
    if (i < count) {
        const int32_t n = count - i;
        uint32_t w[kRebuildLanes] = {}, o[kRebuildLanes];
        int32_t s[kRebuildLanes] = {};
        int16_t y[kRebuildLanes] = {};
        uint8_t bits[kRebuildLanes / 8] = {};
        std::memcpy(w, words + i, static_cast<size_t>(n) * 4);
        std::memcpy(s, S + i, static_cast<size_t>(n) * 4);
        if (FromLuma) {
            std::memcpy(y, luma + i, static_cast<size_t>(n) * sizeof(int16_t));
            std::memcpy(bits, multiples + i / 8, static_cast<size_t>(n + 7) / 8);
        }
        rebuild_step<ShowNoise, FromLuma>(w, s, o, false, y, bits);
        std::memcpy(out + i, o, static_cast<size_t>(n) * 4);
    }
}

// The row goes in segments: first the corrections of a segment, then its
// colour rebuild, so that each loop keeps its own constants in registers.
constexpr int32_t kSegment = 16 * kLanes;

// The corrections of columns s0 .. end - 1 (at most a segment) into S[0 ..],
// written in whole chunks: S has room for a segment.
template <int Mode>
void corrections_segment(const RowJob& job, const Consts& q, bool rowsInside, int32_t s0, int32_t end, int32_t* S) {
    const int32_t w = job.width;
#if defined(__AVX512BW__)
    const WideConsts wq(q);
    constexpr int32_t lanes = kWideLanes;
#else
    constexpr int32_t lanes = kLanes;
#endif
    for (int32_t i0 = s0; i0 < end; i0 += lanes) {
        const int16_t* at[kLineCount];
        for (int t = 0; t < kLineCount; ++t) at[t] = job.lines[t] + i0;
        // Lanes past the row's end have a marked centre; their corrections
        // are never used.
        const bool inside = rowsInside && i0 >= kReach && i0 + lanes + kReach <= w;
#if defined(__AVX512BW__)
        if (inside) {
            const InsideFetch512 f{at};
            corrections32<Mode>(f, f.at(0, 0), wq, S + (i0 - s0));
        } else {
            const MarkedFetch512 f{at, _mm512_loadu_si512(at[kReach])};
            corrections32<Mode>(f, f.centre, wq, S + (i0 - s0));
        }
#else
        if (inside) {
            const InsideFetch f{at};
            corrections16<Mode>(f, f.at(0, 0), q, S + (i0 - s0));
        } else {
            const MarkedFetch f{at, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at[kReach]))};
            corrections16<Mode>(f, f.centre, q, S + (i0 - s0));
        }
#endif
    }
}

// Whether every line within reach is a row of the frame.
bool rows_inside(const RowJob& job) {
    const int32_t s = job.pc.step;
    return job.row >= kReach * s && job.row + kReach * s < job.height;
}

template <int Mode>
void corrections_row(const RowJob& job, int32_t* out) {
    const Consts q(job.pc, Mode);
    const bool inside = rows_inside(job);
    int32_t S[kSegment];
    for (int32_t s0 = 0; s0 < job.width; s0 += kSegment) {
        const int32_t end = job.width - s0 < kSegment ? job.width : s0 + kSegment;
        corrections_segment<Mode>(job, q, inside, s0, end, S);
        std::memcpy(out + s0, S, static_cast<size_t>(end - s0) * sizeof(int32_t));
    }
}

template <bool ShowNoise, int Mode>
void denoise_row(const RowJob& job) {
    const int32_t w = job.width;
    if (w <= 0) return;
    const Consts q(job.pc, Mode);
    const bool inside = rows_inside(job);
    int32_t S[kSegment];
    // Steps start 128 bytes apart, so the row's alignment is every step's.
    const bool stream = job.pc.streamOutput != 0 && (reinterpret_cast<uintptr_t>(job.output) & (kStreamAlign - 1)) == 0;

    for (int32_t s0 = 0; s0 < w; s0 += kSegment) {
        const int32_t end = w - s0 < kSegment ? w : s0 + kSegment;
        corrections_segment<Mode>(job, q, inside, s0, end, S);
        if (job.multiples != nullptr)
            rebuild_words<ShowNoise, true>(job.source + s0, S, end - s0, job.output + s0, stream,
                                           job.lines[kReach] + s0, job.multiples + s0 / 8);
        else
            rebuild_words<ShowNoise>(job.source + s0, S, end - s0, job.output + s0, stream);
    }
    // Non-temporal stores are weakly ordered: the row is complete, to any
    // reader on any core, once the caller has it back.
    if (stream) _mm_sfence();
}

}  // namespace

void ORV_SIMD(luma_row)(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide, uint8_t* multiples) {
    int32_t i = 0;
    for (; i + kLumaLanes <= count; i += kLumaLanes)
        luma32(source + i, plane + i, wide != nullptr ? wide + i : nullptr,
               multiples != nullptr ? multiples + i / 8 : nullptr);
    if (i < count) {
        const int32_t rest = count - i;
        uint32_t words[kLumaLanes] = {};
        uint8_t bytes[kLumaLanes], bits[kLumaLanes / 8];
        int16_t samples[kLumaLanes];
        std::memcpy(words, source + i, static_cast<size_t>(rest) * 4);
        luma32(words, bytes, samples, bits);
        std::memcpy(plane + i, bytes, static_cast<size_t>(rest));
        if (wide != nullptr) std::memcpy(wide + i, samples, static_cast<size_t>(rest) * sizeof(int16_t));
        if (multiples != nullptr) {
            // The zeroed words past the end are multiples too; their bits stay clear.
            if (rest % 8 != 0) bits[rest / 8] &= static_cast<uint8_t>((1u << (rest % 8)) - 1);
            std::memcpy(multiples + i / 8, bits, static_cast<size_t>(rest + 7) / 8);
        }
    }
}

void ORV_SIMD(denoise_row)(const RowJob& job) {
    with_mode(decision_mode(job.pc), [&](auto mode) {
        if (job.pc.showNoise != 0) denoise_row<true, decltype(mode)::value>(job);
        else denoise_row<false, decltype(mode)::value>(job);
    });
}

void ORV_SIMD(corrections_row)(const RowJob& job, int32_t* S) {
    with_mode(decision_mode(job.pc), [&](auto mode) { corrections_row<decltype(mode)::value>(job, S); });
}

void ORV_SIMD(rebuild_row)(const uint32_t* words, const int32_t* S, int32_t count, int32_t showNoise, uint32_t* out,
                           const int16_t* luma, const uint8_t* multiples) {
    const bool fromLuma = luma != nullptr && multiples != nullptr;
    if (showNoise != 0) {
        if (fromLuma) rebuild_words<true, true>(words, S, count, out, false, luma, multiples);
        else rebuild_words<true>(words, S, count, out);
    } else {
        if (fromLuma) rebuild_words<false, true>(words, S, count, out, false, luma, multiples);
        else rebuild_words<false>(words, S, count, out);
    }
}

}  // namespace orv::kernels
