// The kernels' heavy loops in 512-bit vectors, for the AVX-512 sets: the
// core on 32 pixels and the rebuild on 16 at a time. Where a processor runs
// 512-bit vectors on two ports and 256-bit ones on three, that is still a
// third more pixels a cycle. Included by core/simd/row_kernels.inl, inside
// its internal namespace and after the helpers it shares; the arithmetic is
// the 256-bit kernels', step for step, with masks for lane tests and blends.
//
// The unpacks and shuffles work within 128-bit quarters, as the 256-bit ones
// within halves.

// --- the core in 512-bit vectors ---------------------------------------------
//
// The same arithmetic as corrections16, on 32 pixels at a time. Where the
// processor runs 512-bit vectors on two ports and 256-bit ones on three,
// this still does a third more pixels a cycle. The unpacks work within each
// 128-bit quarter, so "lo" holds pixels 0-3, 8-11, 16-19 and 24-27 and "hi"
// the others; the stores put them back in order.
constexpr int kWideLanes = 32;

struct WideConsts {
    __m512i k1_12, k1_34, k1_56, k2_12, k2_34, k2_56;
    __m512i a1, k1, a2, k2, negSharp, ka1, ka2, f1, f2;
    explicit WideConsts(const Consts& q)
        : k1_12(_mm512_broadcast_i32x8(q.k1_12)), k1_34(_mm512_broadcast_i32x8(q.k1_34)),
          k1_56(_mm512_broadcast_i32x8(q.k1_56)), k2_12(_mm512_broadcast_i32x8(q.k2_12)),
          k2_34(_mm512_broadcast_i32x8(q.k2_34)), k2_56(_mm512_broadcast_i32x8(q.k2_56)),
          a1(_mm512_broadcast_i32x8(q.a1)), k1(_mm512_broadcast_i32x8(q.k1)), a2(_mm512_broadcast_i32x8(q.a2)),
          k2(_mm512_broadcast_i32x8(q.k2)), negSharp(_mm512_broadcast_i32x8(q.negSharp)),
          ka1(_mm512_broadcast_i32x8(q.ka1)), ka2(_mm512_broadcast_i32x8(q.ka2)), f1(_mm512_broadcast_i32x8(q.f1)),
          f2(_mm512_broadcast_i32x8(q.f2)) {}
};

struct InsideFetch512 {
    const int16_t* const* rows;
    ORV_INLINE __m512i at(int t, int dx) const { return _mm512_loadu_si512(rows[t + kReach] + dx); }
};

struct MarkedFetch512 {
    const int16_t* const* rows;
    __m512i centre;
    ORV_INLINE __m512i at(int t, int dx) const {
        const __m512i v = _mm512_loadu_si512(rows[t + kReach] + dx);
        return _mm512_mask_blend_epi16(_mm512_cmpeq_epi16_mask(v, _mm512_set1_epi16(kOutside)), v, centre);
    }
};

template <int Mode>
ORV_INLINE __m512i structure512(__m512i R, const WideConsts& q) {
    const __m512i zero = _mm512_setzero_si512();
    if constexpr (Mode < 0) return _mm512_srai_epi32(_mm512_mullo_epi32(R, q.negSharp), 5);
    else if constexpr (Mode == 1) return _mm512_srai_epi32(_mm512_sub_epi32(zero, R), 5);
    else if constexpr (Mode == 2) return _mm512_srai_epi32(_mm512_sub_epi32(zero, R), 4);
    else if constexpr (Mode == 4) return _mm512_srai_epi32(_mm512_sub_epi32(zero, R), 3);
    else if constexpr (Mode == 3) return _mm512_srai_epi32(_mm512_sub_epi32(R, _mm512_slli_epi32(R, 2)), 5);
    else if constexpr (Mode == 5)
        return _mm512_srai_epi32(_mm512_sub_epi32(_mm512_sub_epi32(zero, R), _mm512_slli_epi32(R, 2)), 5);
    else return _mm512_srai_epi32(_mm512_sub_epi32(_mm512_slli_epi32(R, 1), _mm512_slli_epi32(R, 3)), 5);
}

// R plus the running sum's share: noise keeps R, structure gives (-sharp*R) >> 5.
template <int Mode>
ORV_INLINE __m512i respond512(__m512i sum, __m512i R, __m512i E, __m512i a, __m512i k, __m512i ka,
                              const WideConsts& q) {
    const __m512i absR = _mm512_abs_epi32(R);
    __mmask16 big;
    if constexpr (Mode == kWrapping) {
        const __m512i e = _mm512_and_si512(E, _mm512_set1_epi32(0xFFFF));
        const __m512i T = _mm512_sub_epi32(a, _mm512_mullo_epi32(k, e));
        big = _mm512_cmpgt_epi32_mask(_mm512_mullo_epi32(absR, _mm512_set1_epi32(10)), T);
    } else if constexpr (Mode == kTenth) {
        const __m512i t = _mm512_madd_epi16(E, ka);
        const __m512i T = _mm512_add_epi32(_mm512_add_epi32(_mm512_slli_epi32(t, 7), _mm512_slli_epi32(t, 6)),
                                           _mm512_slli_epi32(t, 3));
        big = _mm512_cmpgt_epi32_mask(absR, T);
    } else {
        big = _mm512_cmpgt_epi32_mask(absR, _mm512_madd_epi16(E, ka));
    }
    const __m512i kept = _mm512_mask_add_epi32(sum, static_cast<__mmask16>(~big), sum, R);
    if constexpr (Mode == 0) return kept;
    else return _mm512_mask_add_epi32(kept, big, sum, structure512<Mode>(R, q));
}

template <int Mode, class Fetch>
ORV_INLINE void corrections32(const Fetch& f, __m512i c, const WideConsts& q, int32_t* S) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i c5041 = _mm512_set1_epi32(5041);
    const __m512i centreLo = _mm512_madd_epi16(_mm512_unpacklo_epi16(c, zero), c5041);
    const __m512i centreHi = _mm512_madd_epi16(_mm512_unpackhi_epi16(c, zero), c5041);
    __m512i sumLo = zero, sumHi = zero;
#pragma GCC unroll 4
    for (int dir = 0; dir < 4; ++dir) {
        __m512i P[kReach + 1];
#pragma GCC unroll 6
        for (int d = 1; d <= kReach; ++d)
            P[d] = _mm512_add_epi16(f.at(kDirRow[dir] * d, kDirCol[dir] * d),
                                    f.at(-kDirRow[dir] * d, -kDirCol[dir] * d));
        const __m512i x = _mm512_sub_epi16(P[1], P[4]);
        const __m512i y = _mm512_sub_epi16(_mm512_add_epi16(P[2], P[3]), _mm512_add_epi16(P[5], P[6]));
        const __m512i e1 = _mm512_abs_epi16(_mm512_add_epi16(x, y));
        const __m512i e2 = _mm512_abs_epi16(_mm512_sub_epi16(x, y));
        const __m512i p12Lo = _mm512_unpacklo_epi16(P[1], P[2]), p12Hi = _mm512_unpackhi_epi16(P[1], P[2]);
        const __m512i p34Lo = _mm512_unpacklo_epi16(P[3], P[4]), p34Hi = _mm512_unpackhi_epi16(P[3], P[4]);
        const __m512i p56Lo = _mm512_unpacklo_epi16(P[5], P[6]), p56Hi = _mm512_unpackhi_epi16(P[5], P[6]);
        auto response = [&](__m512i centre, __m512i p12, __m512i p34, __m512i p56, __m512i k12, __m512i k34,
                            __m512i k56) {
#if defined(__AVX512VNNI__)
            return _mm512_dpwssd_epi32(_mm512_dpwssd_epi32(_mm512_dpwssd_epi32(centre, p12, k12), p34, k34), p56, k56);
#else
            return _mm512_add_epi32(_mm512_add_epi32(centre, _mm512_madd_epi16(p12, k12)),
                                    _mm512_add_epi32(_mm512_madd_epi16(p34, k34), _mm512_madd_epi16(p56, k56)));
#endif
        };
        const __m512i r1Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k1_12, q.k1_34, q.k1_56);
        const __m512i r1Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k1_12, q.k1_34, q.k1_56);
        const __m512i r2Lo = response(centreLo, p12Lo, p34Lo, p56Lo, q.k2_12, q.k2_34, q.k2_56);
        const __m512i r2Hi = response(centreHi, p12Hi, p34Hi, p56Hi, q.k2_12, q.k2_34, q.k2_56);
        sumLo = respond512<Mode>(sumLo, r1Lo, _mm512_unpacklo_epi16(e1, q.f1), q.a1, q.k1, q.ka1, q);
        sumHi = respond512<Mode>(sumHi, r1Hi, _mm512_unpackhi_epi16(e1, q.f1), q.a1, q.k1, q.ka1, q);
        sumLo = respond512<Mode>(sumLo, r2Lo, _mm512_unpacklo_epi16(e2, q.f2), q.a2, q.k2, q.ka2, q);
        sumHi = respond512<Mode>(sumHi, r2Hi, _mm512_unpackhi_epi16(e2, q.f2), q.a2, q.k2, q.ka2, q);
    }
    const __m512i sLo = _mm512_srai_epi32(sumLo, 16), sHi = _mm512_srai_epi32(sumHi, 16);
    const __m512i first = _mm512_setr_epi32(0, 1, 2, 3, 16, 17, 18, 19, 4, 5, 6, 7, 20, 21, 22, 23);
    const __m512i second = _mm512_setr_epi32(8, 9, 10, 11, 24, 25, 26, 27, 12, 13, 14, 15, 28, 29, 30, 31);
    _mm512_storeu_si512(S, _mm512_permutex2var_epi32(sLo, first, sHi));
    _mm512_storeu_si512(S + 16, _mm512_permutex2var_epi32(sLo, second, sHi));
}


// --- the rebuild in 512-bit vectors ------------------------------------------
//
// rebuild_int's arithmetic on sixteen words at a time, with masks for its
// lane tests; every step works within 128-bit quarters of four pixels, as
// the 256-bit version within halves.

ORV_INLINE __m512i weights512(int32_t a, int32_t b) {
    return _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(b) << 16 | (static_cast<uint32_t>(a) & 0xFFFF)));
}

// n / divisor truncated, exactly, as quotient does; `plain` keeps the lanes
// whose n is no multiple of the divisor.
ORV_INLINE __m512i quotient512(__m512i n, float inverse, int16_t divisor, __mmask16& plain) {
    const __m512i q = _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(n), _mm512_set1_ps(inverse)));
    plain = _mm512_mask_cmpneq_epi32_mask(plain, n, _mm512_madd_epi16(q, weights512(divisor, 0)));
    return q;
}

// plain_greys for sixteen lanes.
ORV_INLINE bool plain_greys512(__m512i w, __m512i S, __mmask16 multiple, __m512i& yi, __m512i& ui) {
    const __m512i g = _mm512_and_si512(w, _mm512_set1_epi32(0xFF));
    const __m512i ggg = _mm512_or_si512(_mm512_or_si512(g, _mm512_slli_epi32(g, 8)), _mm512_slli_epi32(g, 16));
    const __mmask16 grey = _mm512_cmpeq_epi32_mask(_mm512_and_si512(w, _mm512_set1_epi32(0xFFFFFF)), ggg);
    const __m512i table = _mm512_castsi256_si512(_mm256_load_si256(reinterpret_cast<const __m256i*>(kExactGreys)));
    const __m512i word = _mm512_permutexvar_epi32(_mm512_srli_epi32(g, 5), table);
    const __m512i bit = _mm512_srlv_epi32(word, _mm512_and_si512(g, _mm512_set1_epi32(31)));
    const __mmask16 plain = grey & _mm512_test_epi32_mask(bit, _mm512_set1_epi32(1));
    if ((multiple & ~plain) != 0) return false;
    yi = _mm512_mask_sub_epi32(yi, plain, g, S);
    ui = _mm512_maskz_mov_epi32(static_cast<__mmask16>(~plain), ui);
    return true;
}

ORV_INLINE __m512i halves(__m256i lo, __m256i hi) { return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1); }

// N blocks of sixteen in lockstep, as rebuild_int (FromLuma likewise);
// `multiple` gets the lanes whose channels need the double model.
template <int N, bool FromLuma = false>
ORV_INLINE void rebuild_int512(const __m512i (&w)[N], const __m512i (&S)[N], __m512i (&out)[N], __mmask16 (&multiple)[N],
                               const int16_t* luma = nullptr, const uint8_t* multiples = nullptr) {
    const __m512i bgMask = _mm512_broadcast_i32x4(_mm_setr_epi8(0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1));
    const __m512i rMask = _mm512_broadcast_i32x4(_mm_setr_epi8(2, -1, -1, -1, 6, -1, -1, -1, 10, -1, -1, -1, 14, -1, -1, -1));
    __m512i yi[N], ui[N], vi[N];
    __mmask16 plain[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const __m512i bg = _mm512_shuffle_epi8(w[k], bgMask), r0 = _mm512_shuffle_epi8(w[k], rMask);
        const __m512i nu = _mm512_add_epi32(_mm512_madd_epi16(bg, weights512(436, -289)), _mm512_madd_epi16(r0, weights512(-147, 0)));
        const __m512i nv = _mm512_add_epi32(_mm512_madd_epi16(bg, weights512(100, -515)), _mm512_madd_epi16(r0, weights512(615, 0)));
        plain[k] = 0xFFFF;
        __m512i floorY;
        if constexpr (FromLuma) {
            floorY = _mm512_cvtepi16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma + 16 * k)));
            uint16_t bits;
            std::memcpy(&bits, multiples + 2 * k, sizeof bits);
            plain[k] = static_cast<__mmask16>(~bits);
        } else {
            const __m512i ny =
                _mm512_add_epi32(_mm512_madd_epi16(bg, weights512(114, 587)), _mm512_madd_epi16(r0, weights512(299, 0)));
            floorY = quotient512(ny, kInverse1000, 1000, plain[k]);
        }
        const __m512i m = _mm512_sub_epi32(floorY, S[k]);
        yi[k] = _mm512_mask_add_epi32(m, _mm512_cmplt_epi32_mask(m, _mm512_setzero_si512()), m, _mm512_set1_epi32(1));
        ui[k] = quotient512(nu, kInverse1000, 1000, plain[k]);
        vi[k] = quotient512(nv, kInverse1000, 1000, plain[k]);
    }
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const __mmask16 yuvMultiple = static_cast<__mmask16>(~plain[k]);
        if (yuvMultiple != 0 && !plain_greys512(w[k], S[k], yuvMultiple, yi[k], ui[k])) {
            const Yuv8 lo = yuv8_double(_mm512_castsi512_si256(w[k]), _mm512_castsi512_si256(S[k]));
            const Yuv8 hi = yuv8_double(_mm512_extracti64x4_epi64(w[k], 1), _mm512_extracti64x4_epi64(S[k], 1));
            yi[k] = halves(lo.y, hi.y);
            ui[k] = halves(lo.u, hi.u);
            vi[k] = halves(lo.v, hi.v);
        }
    }
    const __mmask32 odd = 0xAAAAAAAAu;
    __m512i yu[N], v1[N], red[N], green[N], blue[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        plain[k] = 0xFFFF;
        const __m512i y = _mm512_min_epi32(_mm512_max_epi32(yi[k], _mm512_set1_epi32(-1000)), _mm512_set1_epi32(1000));
        yu[k] = _mm512_mask_blend_epi16(odd, y, _mm512_slli_epi32(ui[k], 16));
        v1[k] = _mm512_mask_blend_epi16(odd, vi[k], _mm512_set1_epi32(1 << 16));
    }
    auto channel = [&](int k, int16_t ky, int16_t ku, int16_t kv) {
        const __m512i n =
            _mm512_add_epi32(_mm512_madd_epi16(yu[k], weights512(ky, ku)), _mm512_madd_epi16(v1[k], weights512(kv, 5000)));
        return quotient512(n, kInverse10000, 10000, plain[k]);
    };
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) red[k] = channel(k, 7720, -4633, 11400);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) green[k] = channel(k, 11161, -1587, -5806);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) blue[k] = channel(k, 10001, 20322, -5);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        const __m512i bgr0 = _mm512_packus_epi16(_mm512_packs_epi32(blue[k], green[k]),
                                                 _mm512_packs_epi32(red[k], _mm512_setzero_si512()));
        out[k] = _mm512_shuffle_epi8(
            bgr0, _mm512_broadcast_i32x4(_mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15)));
        multiple[k] = static_cast<__mmask16>(~plain[k]);
    }
}

// noise_words for sixteen words.
ORV_INLINE __m512i noise_words512(__m512i in, __m512i out) {
    const __m512i m = _mm512_set1_epi32(0xFF);
    auto channel = [&](int shift) {
        const __m512i d = _mm512_sub_epi32(_mm512_and_si512(_mm512_srli_epi32(in, shift), m),
                                           _mm512_and_si512(_mm512_srli_epi32(out, shift), m));
        const __m512i five = _mm512_add_epi32(_mm512_slli_epi32(d, 2), d);
        const __m512i clamped = _mm512_min_epi32(_mm512_max_epi32(five, _mm512_set1_epi32(-127)), _mm512_set1_epi32(128));
        return _mm512_add_epi32(clamped, _mm512_set1_epi32(127));
    };
    return _mm512_or_si512(_mm512_or_si512(_mm512_slli_epi32(channel(16), 16), _mm512_slli_epi32(channel(8), 8)), channel(0));
}

