// The per-pixel decision of the denoise, and the wrap-around arithmetic it
// runs on, shared by the CPU reference and the GPU kernel: g++ and nvcc both
// compile this header (the emulator too, as plain C++). Settings from a script
// may be any integer, and the filter's arithmetic then wraps exactly as 32-bit
// hardware does; plain signed overflow would be undefined behaviour.
//
// Only the decision is shared: luma, border and rounding rules differ between
// the two routes and stay with each.
#pragma once

#include <stdint.h>

#if defined(__CUDACC__)
#define ORV_DECISION_FN __host__ __device__ __forceinline__
#else
#define ORV_DECISION_FN inline
#endif

namespace orv {

ORV_DECISION_FN int32_t wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
ORV_DECISION_FN int32_t wrap_sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
ORV_DECISION_FN int32_t wrap_mul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
ORV_DECISION_FN int32_t wrap_neg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }
ORV_DECISION_FN int32_t wrap_abs(int32_t a) { return a < 0 ? wrap_neg(a) : a; }

// Per-pass constants from the strengths, with 32-bit wrap-around. The divisor
// is never -1, so the division itself cannot overflow.
struct Strengths {
    int32_t a1, k1, a2, k2, sharp;
};

ORV_DECISION_FN Strengths make_strengths(int32_t f1, int32_t f2, int32_t sharp) {
    Strengths s;
    s.a1 = wrap_mul(10, f1);
    s.k1 = wrap_mul(333, f1) / 1000;
    s.a2 = wrap_mul(10, f2);
    s.k2 = wrap_mul(333, f2) / 1000;
    s.sharp = sharp;
    return s;
}

// One response against its threshold T = (a - k*E)*2000: a small one is noise
// and is kept (to be subtracted), a large one is structure and is boosted by
// sharp/32.
ORV_DECISION_FN int32_t decide(int32_t R, int32_t a, int32_t k, int32_t E, int32_t sharp) {
    const int32_t T = wrap_mul(wrap_sub(a, wrap_mul(k, E)), 2000);
    if (wrap_mul(10, wrap_abs(R)) > T) return wrap_neg(wrap_mul(sharp, R)) >> 5;
    return R;
}

// The two responses of one direction from its pair sums P[1..6] (each the sum
// of the two luma samples at distance d; P[0] unused), with the weights
// round(65536/13 cos(2 pi f d/13)) for f = 1 and 2. Samples are bytes, so
// nothing here can overflow before the decision.
ORV_DECISION_FN int32_t direction_contribution(int32_t c, const int32_t* P, const Strengths& s) {
    const int32_t R1 = 5041 * c + 4464 * P[1] + 2864 * P[2] + 608 * P[3] - 1788 * P[4] - 3773 * P[5] - 4895 * P[6];
    const int32_t R2 = 5041 * c + 2864 * P[1] - 1788 * P[2] - 4895 * P[3] - 3773 * P[4] + 608 * P[5] + 4464 * P[6];
    const int32_t E1 = wrap_abs(P[1] + P[2] + P[3] - P[4] - P[5] - P[6]);
    const int32_t E2 = wrap_abs(P[1] - P[2] - P[3] - P[4] + P[5] + P[6]);
    return wrap_add(decide(R1, s.a1, s.k1, E1, s.sharp), decide(R2, s.a2, s.k2, E2, s.sharp));
}

}  // namespace orv
