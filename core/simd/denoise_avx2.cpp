// The fast route's AVX2 kernels: luma plane rows, the denoise and the colour
// rebuild, bit for bit the reference's results.
//
// This file alone is compiled with -mavx2 (and never -mfma), so nothing here
// may be shared with the rest of the module: every helper is internal, and the
// only headers are the intrinsics, the C library and the plain kernel header.
//
// Integers: the luma samples and pair sums are 16-bit lanes (16 pixels per
// vector). Responses are formed by _mm256_madd_epi16 on interleaved pairs of
// pair sums, which puts pixels 0-3 and 8-11 in the "lo" 32-bit vector and 4-7
// and 12-15 in "hi"; the decision runs in that order, and the colour rebuild
// takes its four-pixel groups from it directly. All 32-bit lane arithmetic
// wraps, as the reference's does on settings from a script.
//
// Doubles: each product and sum is its own instruction in the reference's
// order, so nothing can be contracted or reassociated.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "core/fast_kernels.h"

namespace orv::fast {

namespace {

constexpr int kLanes = 16;  // pixels per chunk

// The helpers below are small and called with constant arguments; they only
// pay when inlined and unrolled into the chunk loop.
#define ORV_INLINE inline __attribute__((always_inline))
constexpr int kReach = 6;

// --- colour ---------------------------------------------------------------

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
#pragma GCC unroll 4
    for (int g = 0; g < 4; ++g) {
        const Rgb c = channels(words[g]);
        const __m256d y = luma(c);
        const __m256d yd = trunc_pd(sub(y, _mm256_cvtepi32_pd(S[g])));
        const __m256d ud = trunc_pd(add(sub(mul(c.r, -0.147), mul(c.g, 0.289)), mul(c.b, 0.436)));
        const __m256d vd = trunc_pd(add(sub(mul(c.r, 0.615), mul(c.g, 0.515)), mul(c.b, 0.1)));
        red[g] = _mm256_cvttpd_epi32(add(add(sub(mul(yd, 0.772), mul(ud, 0.4633)), mul(vd, 1.14)), half));
        green[g] = _mm256_cvttpd_epi32(add(sub(sub(mul(yd, 1.1161), mul(ud, 0.1587)), mul(vd, 0.5806)), half));
        blue[g] = _mm256_cvttpd_epi32(add(sub(add(mul(yd, 1.0001), mul(ud, 2.0322)), mul(vd, 0.0005)), half));
    }
    auto bytes = [](const __m128i (&v)[4]) {
        return _mm_packus_epi16(_mm_packs_epi32(v[0], v[1]), _mm_packs_epi32(v[2], v[3]));
    };
    const __m128i r8 = bytes(red), g8 = bytes(green), b8 = bytes(blue), zero = _mm_setzero_si128();
    const __m128i bgLo = _mm_unpacklo_epi8(b8, g8), bgHi = _mm_unpackhi_epi8(b8, g8);
    const __m128i r0Lo = _mm_unpacklo_epi8(r8, zero), r0Hi = _mm_unpackhi_epi8(r8, zero);
    __m128i out[4] = {_mm_unpacklo_epi16(bgLo, r0Lo), _mm_unpackhi_epi16(bgLo, r0Lo), _mm_unpacklo_epi16(bgHi, r0Hi),
                      _mm_unpackhi_epi16(bgHi, r0Hi)};
#pragma GCC unroll 4
    for (int g = 0; g < 4; ++g) {
        if (ShowNoise) out[g] = noise_words(words[g], out[g]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(output + 4 * g), out[g]);
    }
}

// Sixteen luma bytes from sixteen words.
inline void luma16(const uint32_t* words, uint8_t* plane) {
    __m128i y[4];
    for (int g = 0; g < 4; ++g) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + 4 * g));
        y[g] = _mm256_cvttpd_epi32(luma(channels(w)));
    }
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(y[0], y[1]), _mm_packs_epi32(y[2], y[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(plane), bytes);
}

// --- denoise --------------------------------------------------------------

// Sixteen samples at (row offset t in vertical steps, column offset dx) from
// the chunk's pixels, as 16-bit lanes, each already replaced by the centre
// where the reference's border rule says so.

// Every neighbour inside the frame: straight loads from the plane.
struct InsideFetch {
    const uint8_t* const* rows;  // rows[t + kReach] at the chunk's first column
    ORV_INLINE __m256i at(int t, int dx) const {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t + kReach] + dx)));
    }
};

// Near an edge: the neighbourhood is copied into a small block in which every
// sample outside the frame is marked, and a marked lane takes the centre.
struct EdgeFetch {
    static constexpr int kCols = kLanes + 2 * kReach;
    static constexpr int16_t kOutside = -1;
    int16_t block[2 * kReach + 1][kCols + 4];
    __m256i centre;
    ORV_INLINE __m256i at(int t, int dx) const {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&block[t + kReach][kReach + dx]));
        return _mm256_blendv_epi8(v, centre, _mm256_cmpeq_epi16(v, _mm256_set1_epi16(kOutside)));
    }
};

void fill_edge_block(EdgeFetch& f, const RowJob& job, int32_t i0) {
    const int32_t w = job.width, h = job.height;
    const int32_t first = i0 - kReach;  // plane column of block column 0
    for (int t = -kReach; t <= kReach; ++t) {
        int16_t* out = f.block[t + kReach];
        const int64_t r = static_cast<int64_t>(job.row) + static_cast<int64_t>(t) * job.pc.step;
        if (r < 0 || r >= h) {
            for (int x = 0; x < EdgeFetch::kCols; ++x) out[x] = EdgeFetch::kOutside;
            continue;
        }
        const uint8_t* row = job.plane + r * w;
        if (first >= 0 && first + EdgeFetch::kCols <= w) {
            const __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + first)));
            const __m256i b = _mm256_cvtepu8_epi16(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + first + EdgeFetch::kCols - kLanes)));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), a);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + EdgeFetch::kCols - kLanes), b);
            continue;
        }
        for (int x = 0; x < EdgeFetch::kCols; ++x) {
            const int32_t col = first + x;
            out[x] = col >= 0 && col < w ? row[col] : EdgeFetch::kOutside;
        }
    }
    f.centre = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&f.block[kReach][kReach]));
}

// (a, b) 16-bit weights for _mm256_madd_epi16 on unpacked (x, y) lanes: a*x + b*y.
inline __m256i weights(int32_t a, int32_t b) {
    return _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(b) << 16 | (static_cast<uint32_t>(a) & 0xFFFF)));
}

struct Consts {
    __m256i k1_12, k1_34, k1_56, k2_12, k2_34, k2_56;
    __m256i a1, k1, a2, k2, negSharp, ten;
    explicit Consts(const PassConstants& pc)
        : k1_12(weights(4464, 2864)), k1_34(weights(608, -1788)), k1_56(weights(-3773, -4895)),
          k2_12(weights(2864, -1788)), k2_34(weights(-4895, -3773)), k2_56(weights(608, 4464)),
          a1(_mm256_set1_epi32(pc.a1x2000)), k1(_mm256_set1_epi32(pc.k1x2000)),
          a2(_mm256_set1_epi32(pc.a2x2000)), k2(_mm256_set1_epi32(pc.k2x2000)),
          negSharp(_mm256_set1_epi32(pc.negSharp)), ten(_mm256_set1_epi32(10)) {}
};

// One response against its threshold a - k*E: noise keeps R, structure gives
// (-sharp*R) >> 5.
ORV_INLINE __m256i respond(__m256i R, __m256i E, __m256i a, __m256i k, const Consts& q) {
    const __m256i T = _mm256_sub_epi32(a, _mm256_mullo_epi32(k, E));
    const __m256i tenAbs = _mm256_mullo_epi32(_mm256_abs_epi32(R), q.ten);
    const __m256i structure = _mm256_srai_epi32(_mm256_mullo_epi32(R, q.negSharp), 5);
    return _mm256_blendv_epi8(R, structure, _mm256_cmpgt_epi32(tenAbs, T));
}

// Rows and columns of the minus-side neighbour at distance 1, per direction:
// horizontal, vertical, falling diagonal, rising diagonal.
constexpr int kDirRow[4] = {0, -1, -1, -1};
constexpr int kDirCol[4] = {-1, 0, -1, 1};

template <bool ShowNoise, class Fetch>
ORV_INLINE void denoise_chunk(const Fetch& f, __m256i c, const Consts& q, const uint32_t* source, uint32_t* output) {
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
            return _mm256_add_epi32(_mm256_add_epi32(centre, _mm256_madd_epi16(p12, k12)),
                                    _mm256_add_epi32(_mm256_madd_epi16(p34, k34), _mm256_madd_epi16(p56, k56)));
        };
        const __m256i r1Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k1_12, q.k1_34, q.k1_56);
        const __m256i r1Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k1_12, q.k1_34, q.k1_56);
        const __m256i r2Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k2_12, q.k2_34, q.k2_56);
        const __m256i r2Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k2_12, q.k2_34, q.k2_56);
        sumLo = _mm256_add_epi32(sumLo, respond(r1Lo, _mm256_unpacklo_epi16(e1, zero), q.a1, q.k1, q));
        sumHi = _mm256_add_epi32(sumHi, respond(r1Hi, _mm256_unpackhi_epi16(e1, zero), q.a1, q.k1, q));
        sumLo = _mm256_add_epi32(sumLo, respond(r2Lo, _mm256_unpacklo_epi16(e2, zero), q.a2, q.k2, q));
        sumHi = _mm256_add_epi32(sumHi, respond(r2Hi, _mm256_unpackhi_epi16(e2, zero), q.a2, q.k2, q));
    }
    const __m256i sLo = _mm256_srai_epi32(sumLo, 16), sHi = _mm256_srai_epi32(sumHi, 16);
    const __m128i S[4] = {_mm256_castsi256_si128(sLo), _mm256_castsi256_si128(sHi), _mm256_extracti128_si256(sLo, 1),
                          _mm256_extracti128_si256(sHi, 1)};
    // All sixteen words are read before any is written: output may be source.
    __m128i words[4];
    for (int g = 0; g < 4; ++g) words[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * g));
    rebuild16<ShowNoise>(words, S, output);
}

template <bool ShowNoise>
void denoise_row(const RowJob& job) {
    const int32_t w = job.width, h = job.height, j = job.row, s = job.pc.step;
    if (w <= 0) return;
    const Consts q(job.pc);
    const int64_t reachRows = static_cast<int64_t>(kReach) * s;
    const bool rowsInside = j - reachRows >= 0 && j + reachRows < h;
    const uint8_t* rows[2 * kReach + 1] = {};
    if (rowsInside)
        for (int t = -kReach; t <= kReach; ++t)
            rows[t + kReach] = job.plane + (static_cast<int64_t>(j) + static_cast<int64_t>(t) * s) * w;

    for (int32_t i0 = 0; i0 < w; i0 += kLanes) {
        const int32_t count = w - i0 < kLanes ? w - i0 : kLanes;
        if (rowsInside && i0 >= kReach && i0 + kLanes + kReach <= w) {
            const uint8_t* at[2 * kReach + 1];
            for (int t = 0; t <= 2 * kReach; ++t) at[t] = rows[t] + i0;
            const InsideFetch f{at};
            denoise_chunk<ShowNoise>(f, f.at(0, 0), q, job.source + i0, job.output + i0);
            continue;
        }
        EdgeFetch f;
        fill_edge_block(f, job, i0);
        if (count == kLanes) {
            denoise_chunk<ShowNoise>(f, f.centre, q, job.source + i0, job.output + i0);
            continue;
        }
        uint32_t in[kLanes] = {}, out[kLanes];
        std::memcpy(in, job.source + i0, static_cast<size_t>(count) * 4);
        denoise_chunk<ShowNoise>(f, f.centre, q, in, out);
        std::memcpy(job.output + i0, out, static_cast<size_t>(count) * 4);
    }
}

}  // namespace

void luma_row_avx2(const uint32_t* source, int32_t count, uint8_t* plane) {
    int32_t i = 0;
    for (; i + kLanes <= count; i += kLanes) luma16(source + i, plane + i);
    if (i < count) {
        const int32_t rest = count - i;
        uint32_t words[kLanes] = {};
        uint8_t bytes[kLanes];
        std::memcpy(words, source + i, static_cast<size_t>(rest) * 4);
        luma16(words, bytes);
        std::memcpy(plane + i, bytes, static_cast<size_t>(rest));
    }
}

void denoise_row_avx2(const RowJob& job) {
    if (job.pc.showNoise != 0) denoise_row<true>(job);
    else denoise_row<false>(job);
}

void rebuild_words_avx2(const uint32_t* words, const int32_t* S, int32_t count, int32_t showNoise, uint32_t* out) {
    for (int32_t i = 0; i < count; i += kLanes) {
        const int32_t n = count - i < kLanes ? count - i : kLanes;
        uint32_t w[kLanes] = {}, o[kLanes];
        int32_t s[kLanes] = {};
        std::memcpy(w, words + i, static_cast<size_t>(n) * 4);
        std::memcpy(s, S + i, static_cast<size_t>(n) * 4);
        __m128i wv[4], sv[4];
        for (int g = 0; g < 4; ++g) {
            wv[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 4 * g));
            sv[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * g));
        }
        if (showNoise != 0) rebuild16<true>(wv, sv, o);
        else rebuild16<false>(wv, sv, o);
        std::memcpy(out + i, o, static_cast<size_t>(n) * 4);
    }
}

}  // namespace orv::fast
