// The denoise of a plane of samples up to 16 bits (corrections_wide_row),
// written once in plain 32-bit integers, branch-free, so that each kernel
// set's unit, which includes this file after core/simd/kernels.inl with its
// own ORV_SIMD and flags, gets it in that set's vectors. The reference
// (core/simd/reference.cpp) works the same decision in 64 bits, straight
// from its definition.
//
// Why nothing leaves 32 bits, for samples 0..65535, f 0..100, sharp 0..6
// (a <= 10*100*256 = 256,000, k <= 33):
//   pair sums P        0 .. 131,070
//   R = 5041c + sum    |R| <= 65535 * 20913 = 1,370,533,455 < 2^31 - 1
//                      (20913 = 5041 + 2*(4464+2864+608), the positive
//                      weights; the negative ones come to 20912)
//   E                  0 .. 3 * 131,070 = 393,210
//   a - k*E            -12,975,930 .. 256,000
// The decision 10*|R| > 2000*(a - k*E) is |R| > 200*(a - k*E) exactly; with
// a - k*E taken no lower than -1 (every response is then structure either
// way) the right side stays within -200 .. 51,200,000.
// Structure is floor(-sharp*R/32), whose product would reach 8.2e9; with
// R = 32q + r (q = R >> 5, r = R & 31) it is -sharp*q + ((-sharp*r) >> 5),
// exactly, with |sharp*q| <= 256,975,023.
// The eight responses would sum to 1.1e10; S = floor(sum/65536) is taken as
// the sum of each response's R >> 16 (|.| <= 20,913 each) plus the sum of
// their R & 0xFFFF (<= 8 * 65535) shifted by 16, exactly.
#include <cstdint>

#include "core/row_kernels.h"

namespace orv::kernels {

namespace {

constexpr int kWideDirRow[4] = {0, -1, -1, -1};
constexpr int kWideDirCol[4] = {-1, 0, -1, 1};

inline __attribute__((always_inline)) int32_t wide_respond(int32_t R, int32_t E, int32_t a, int32_t k,
                                                           int32_t sharp) {
    int32_t d = a - k * E;
    d = d < -1 ? -1 : d;
    const int32_t absR = R < 0 ? -R : R;
    const int32_t structure = -sharp * (R >> 5) + ((-sharp * (R & 31)) >> 5);
    return absR > 200 * d ? structure : R;
}

// kWideChunk pixels from column i0 into `out`, a local the lines can't
// alias, so that the loop needs no checks to run in vectors.
constexpr int32_t kWideChunk = 64;

// Marked: some neighbour may lie outside the frame and stand in as the
// centre; else every one is a sample, read as it is.
template <bool Marked>
inline __attribute__((always_inline)) void wide_chunk(const int32_t* const (&L)[kLineCount], const WideRowJob& job,
                                                      int32_t i0, int32_t n, int32_t* __restrict out) {
    const int32_t a1 = job.a1, k1 = job.k1, a2 = job.a2, k2 = job.k2, sharp = job.sharp;
    for (int32_t ii = 0; ii < n; ++ii) {
        const int32_t i = i0 + ii;
        const int32_t c = L[6][i];
        int32_t high = 0, low = 0;
#pragma GCC unroll 4
        for (int dir = 0; dir < 4; ++dir) {
            int32_t P[7];
#pragma GCC unroll 6
            for (int d = 1; d <= 6; ++d) {
                const int32_t m = L[6 + kWideDirRow[dir] * d][i + kWideDirCol[dir] * d];
                const int32_t p = L[6 - kWideDirRow[dir] * d][i - kWideDirCol[dir] * d];
                if constexpr (Marked) P[d] = (m == kWideOutside ? c : m) + (p == kWideOutside ? c : p);
                else P[d] = m + p;
            }
            const int32_t R1 =
                5041 * c + 4464 * P[1] + 2864 * P[2] + 608 * P[3] - 1788 * P[4] - 3773 * P[5] - 4895 * P[6];
            const int32_t R2 =
                5041 * c + 2864 * P[1] - 1788 * P[2] - 4895 * P[3] - 3773 * P[4] + 608 * P[5] + 4464 * P[6];
            const int32_t x = P[1] - P[4], y = P[2] + P[3] - P[5] - P[6];
            const int32_t e1 = x + y < 0 ? -(x + y) : x + y, e2 = x - y < 0 ? y - x : x - y;
            const int32_t r1 = wide_respond(R1, e1, a1, k1, sharp), r2 = wide_respond(R2, e2, a2, k2, sharp);
            high += (r1 >> 16) + (r2 >> 16);
            low += (r1 & 0xFFFF) + (r2 & 0xFFFF);
        }
        out[ii] = high + (low >> 16);
    }
}

}  // namespace

ORV_DECL_CORRECTIONS_WIDE_ROW(ORV_SIMD(corrections_wide_row)) {
    const int32_t* L[kLineCount];
    for (int t = 0; t < kLineCount; ++t) L[t] = job.lines[t];
    for (int32_t i0 = 0; i0 < job.width; i0 += kWideChunk) {
        int32_t out[kWideChunk];
        const int32_t n = job.width - i0 < kWideChunk ? job.width - i0 : kWideChunk;
        if (job.rowsInside != 0 && i0 >= 6 && i0 + n + 6 <= job.width) wide_chunk<false>(L, job, i0, kWideChunk, out);
        else if (n == kWideChunk) wide_chunk<true>(L, job, i0, kWideChunk, out);
        else wide_chunk<true>(L, job, i0, n, out);
        for (int32_t k = 0; k < n; ++k) S[i0 + k] = out[k];
    }
}

}  // namespace orv::kernels
