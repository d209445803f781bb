// The denoise of a plane of samples up to 16 bits (corrections_wide_row),
// written once over the vector width, so that each kernel set's unit, which
// includes this file after core/simd/kernels.inl, gets it in that set's
// vectors. The reference (core/simd/reference.cpp) works the same decision in
// 64 bits, straight from its definition.
//
// A line holds each sample v as the word q << 16 | r, v = 4q + r (q 0..16383,
// r 0..3; see WideRowJob). Adding two words adds both halves apart: a pair
// sum P is (Pq, Pr) with Pq <= 32766 and Pr <= 6, and one multiply-add with
// the weights (K, 4K) gives K*P exactly (|4K| <= 4*5041 = 20164). So each
// distance is one 32-bit add and one multiply-add per response, with no
// unpacking, and the corrections come out in pixel order.
//
// Why nothing leaves 32 bits, for samples 0..65535, f 0..100, sharp 0..6
// (m = 2^(bits-8) <= 256, a = 10*f*m <= 256,000, k <= 33):
//   R = 5041c + sum    |R| <= 65535 * 20913 = 1,370,533,455 < 2^31 - 1
//                      (20913 = 5041 + 2*(4464+2864+608), the positive
//                      weights; the negative ones come to 20912)
//   x = P1 - P4, y = P2 - P5, z = P3 - P6, as (q, r) halves: |q| <= 32766,
//                      |r| <= 6; each one multiply-add with (1, 4) in 32 bits
//   e = x + y + z or x - y - z, |e| <= 393,210; E = |e|
// The decision 10*|R| > 2000*(a - k*E) is |R| > 200*(a - k*E) exactly. With
// k >= 1 the threshold is negative once E > a/k, and a/k <= 60*m = 15,360
// (f = 6: a = 60m, k = 1; every other f >= 4 has less): E is taken no larger
// than 32767, which changes no decision, and then (E, f*m) fit 16 bits, as do
// (-200k, 2000), and one multiply-add gives the threshold
//   T = 2000*f*m - 200*k*E   within -200*33*32767 .. 51,200,000.
// Structure is floor(-sharp*R/32), with v = -R: v >> 5, v >> 4 or v >> 3
// for sharp 1, 2, 4; for 3, 5, 6 floor(floor(3v/2)/16),
// floor(floor(5v/4)/8), floor(floor(3v/2)/8), and floor(3v/2) = v + (v >> 1),
// floor(5v/4) = v + (v >> 2) stay within 1.5 * 1,370,533,455 = 2,055,800,183.
// So |structure| <= floor(6 * 1,370,533,455 / 32) + 1 = 256,975,023, and a
// noise response has |R| <= T <= 51,200,000: the eight responses sum to at
// most 8 * 256,975,023 = 2,055,800,184 in magnitude, within 32 bits, and
// S = sum >> 16.
#include <cstdint>
#include <cstring>

#include "core/row_kernels.h"

namespace orv::kernels {

namespace {

struct WideConsts {
    I k1[kReach + 1], k2[kReach + 1];  // (K, 4K) for d = 1..6; [0] the centre's (5041, 4*5041)
    I quarters;                        // (1, 4): a (q, r) word's value
    I fm1, fm2;                        // f*m = a/10 in the high halves, beside E
    I ka1, ka2;                        // (-200k, 2000)
    I cap;
    explicit WideConsts(const WideRowJob& job)
        : quarters(weights(1, 4)), fm1(V::set32(static_cast<int32_t>(static_cast<uint32_t>(job.a1 / 10) << 16))),
          fm2(V::set32(static_cast<int32_t>(static_cast<uint32_t>(job.a2 / 10) << 16))),
          ka1(weights(static_cast<int16_t>(-200 * job.k1), 2000)),
          ka2(weights(static_cast<int16_t>(-200 * job.k2), 2000)), cap(V::set32(32767)) {
        constexpr int16_t kK1[kReach + 1] = {5041, 4464, 2864, 608, -1788, -3773, -4895};
        constexpr int16_t kK2[kReach + 1] = {5041, 2864, -1788, -4895, -3773, 608, 4464};
        for (int d = 0; d <= kReach; ++d) {
            k1[d] = weights(kK1[d], static_cast<int16_t>(4 * kK1[d]));
            k2[d] = weights(kK2[d], static_cast<int16_t>(4 * kK2[d]));
        }
    }
};

// floor(-sharp*R/32) without leaving 32 bits (see the top).
template <int Sharp>
ORV_INLINE I wide_structure(I R) {
    const I v = V::sub32(V::zero(), R);
    if constexpr (Sharp == 0) return V::zero();
    else if constexpr (Sharp == 1) return V::sar32(v, 5);
    else if constexpr (Sharp == 2) return V::sar32(v, 4);
    else if constexpr (Sharp == 4) return V::sar32(v, 3);
    else if constexpr (Sharp == 3) return V::sar32(V::add32(v, V::sar32(v, 1)), 4);
    else if constexpr (Sharp == 5) return V::sar32(V::add32(v, V::sar32(v, 2)), 3);
    else return V::sar32(V::add32(v, V::sar32(v, 1)), 3);
}

template <int Sharp>
ORV_INLINE I wide_respond(I R, I e, I fm, I ka, I cap) {
    const I T = V::madd(V::or_(V::min32(V::abs32(e), cap), fm), ka);
    return V::select(V::gt32(V::abs32(R), T), R, wide_structure<Sharp>(R));
}

// The corrections of kWords pixels from column i0 into S. Marked: some
// neighbour may lie outside the frame and stand in as the centre.
template <int Sharp, bool Marked>
ORV_INLINE void wide_chunk(const int32_t* const* L, int32_t i0, const WideConsts& q, int32_t* S) {
    const I c = V::load(L[kReach] + i0), outside = V::set32(kWideOutside);
    auto at = [&](int t, int dx) {
        const I v = V::load(L[kReach + t] + i0 + dx);
        if constexpr (Marked) return V::select(V::eq32(v, outside), v, c);
        else return v;
    };
    const I centre1 = V::madd(c, q.k1[0]);
    I sum = V::zero();
#pragma GCC unroll 4
    for (int dir = 0; dir < 4; ++dir) {
        I P[kReach + 1];
#pragma GCC unroll 6
        for (int d = 1; d <= kReach; ++d)
            P[d] = V::add32(at(kDirRow[dir] * d, kDirCol[dir] * d), at(-kDirRow[dir] * d, -kDirCol[dir] * d));
        I R1 = centre1, R2 = centre1;
#pragma GCC unroll 6
        for (int d = 1; d <= kReach; ++d) {
            R1 = V::madd_add(R1, P[d], q.k1[d]);
            R2 = V::madd_add(R2, P[d], q.k2[d]);
        }
        const I x = V::madd(V::sub16(P[1], P[4]), q.quarters);
        const I yz = V::madd_add(V::madd(V::sub16(P[2], P[5]), q.quarters), V::sub16(P[3], P[6]), q.quarters);
        sum = V::add32(sum, wide_respond<Sharp>(R1, V::add32(x, yz), q.fm1, q.ka1, q.cap));
        sum = V::add32(sum, wide_respond<Sharp>(R2, V::sub32(x, yz), q.fm2, q.ka2, q.cap));
    }
    V::store(S, V::sar32(sum, 16));
}

template <int Sharp>
void wide_row(const WideRowJob& job, int32_t* S) {
    const WideConsts q(job);
    const int32_t* const* L = job.lines;
    int32_t i0 = 0;
    for (; i0 + kWords <= job.width; i0 += kWords) {
        if (job.rowsInside != 0 && i0 >= kReach && i0 + kWords + kReach <= job.width)
            wide_chunk<Sharp, false>(L, i0, q, S + i0);
        else wide_chunk<Sharp, true>(L, i0, q, S + i0);
    }
    if (i0 < job.width) {
        // Lanes past the row's end read the lines' marks; their corrections
        // are dropped.
        int32_t rest[kWords];
        wide_chunk<Sharp, true>(L, i0, q, rest);
        std::memcpy(S + i0, rest, static_cast<size_t>(job.width - i0) * sizeof(int32_t));
    }
}

}  // namespace

ORV_DECL_CORRECTIONS_WIDE_ROW(ORV_SIMD(corrections_wide_row)) {
    switch (job.sharp) {
        case 0: return wide_row<0>(job, S);
        case 1: return wide_row<1>(job, S);
        case 2: return wide_row<2>(job, S);
        case 3: return wide_row<3>(job, S);
        case 4: return wide_row<4>(job, S);
        case 5: return wide_row<5>(job, S);
        default: return wide_row<6>(job, S);  // 6: the callers' range ends there
    }
}

}  // namespace orv::kernels
