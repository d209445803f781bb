// The row steps written once over a vector layer `V` (yuv_rows_avx.cpp
// includes this in each width's namespace, under that width's target). No
// standard library here: an inline template instantiated under a wider
// target could be the one the linker keeps for everyone.

inline int32_t clamp8(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Interpolated (times 4 across) at pixel x from a padded row.
inline int32_t across_at(const int32_t* t, int x, int shiftX, bool centred) {
    if (shiftX == 0) return t[x] * 4;
    const int k = x >> 1;
    if (centred) return t[k] * 3 + ((x & 1) == 0 ? t[k - 1] : t[k + 1]);
    return (x & 1) == 0 ? t[k] * 4 : (t[k] + t[k + 1]) * 2;
}

inline V::T times3(V::T a) { return V::add(V::slli<1>(a), a); }

void chroma_products(const uint8_t* const* rows, int w0, const ToXrgbConsts& c, int n, int32_t* pr, int32_t* pg,
                     int32_t* pb) {
    const uint8_t *u0 = rows[0], *u1 = rows[1], *v0 = rows[2], *v1 = rows[3];
    const V::T rv = V::set1(c.rv), gu = V::set1(c.gu), gv = V::set1(c.gv), bu = V::set1(c.bu), off = V::set1(512);
    int k = 0;
    for (; k + V::N <= n; k += V::N) {
        V::T u = V::u8(u0 + k), v = V::u8(v0 + k);
        // Weights 4 and 0, or 3 and 1.
        if (w0 == 4)
            u = V::slli<2>(u), v = V::slli<2>(v);
        else
            u = V::add(times3(u), V::u8(u1 + k)), v = V::add(times3(v), V::u8(v1 + k));
        u = V::sub(u, off), v = V::sub(v, off);
        V::store(pr + k, V::mullo(rv, v));
        V::store(pg + k, V::add(V::mullo(gu, u), V::mullo(gv, v)));
        V::store(pb + k, V::mullo(bu, u));
    }
    for (; k < n; ++k) {
        const int32_t u = w0 * u0[k] + (4 - w0) * u1[k] - 512, v = w0 * v0[k] + (4 - w0) * v1[k] - 512;
        pr[k] = c.rv * v, pg[k] = c.gu * u + c.gv * v, pb[k] = c.bu * u;
    }
}

inline void xrgb_pixels(const uint8_t* yRow, int x, const LumaLine& line, V::T pr, V::T pg, V::T pb, uint32_t* out) {
    const V::T y = V::u8(yRow + x);
    const V::T l = V::add(V::add(V::mullo(y, V::set1(line.a)), V::set1(line.b)),
                          V::srai<16>(V::add(V::mullo(y, V::set1(line.m)), V::set1(line.c))));
    V::store(out + x, V::pack_xrgb(V::srai<20>(V::add(l, pr)), V::srai<20>(V::sub(l, pg)), V::srai<20>(V::add(l, pb))));
}

// Two vectors of pixels from a vector of chroma columns at k: the even
// pixels and the odd ones, interleaved.
inline void across(const int32_t* t, int k, bool centred, V::T& lo, V::T& hi) {
    const V::T a = V::load(t + k);
    V::T even, odd;
    if (centred) {
        const V::T a3 = times3(a);
        even = V::add(a3, V::load(t + k - 1)), odd = V::add(a3, V::load(t + k + 1));
    } else {
        even = V::slli<2>(a), odd = V::slli<1>(V::add(a, V::load(t + k + 1)));
    }
    V::interleave(even, odd, lo, hi);
}

void to_xrgb(const uint8_t* yRow, const int32_t* pr, const int32_t* pg, const int32_t* pb, const ToXrgbConsts& c,
             int width, int shiftX, bool centred, uint32_t* out) {
    ++pr, ++pg, ++pb;  // column 0
    int x = 0;
    if (shiftX == 0) {
        for (; x + V::N <= width; x += V::N)
            xrgb_pixels(yRow, x, c.line, V::slli<2>(V::load(pr + x)), V::slli<2>(V::load(pg + x)),
                        V::slli<2>(V::load(pb + x)), out);
    } else {
        for (; x + 2 * V::N <= width; x += 2 * V::N) {
            V::T rLo, rHi, gLo, gHi, bLo, bHi;
            across(pr, x / 2, centred, rLo, rHi);
            across(pg, x / 2, centred, gLo, gHi);
            across(pb, x / 2, centred, bLo, bHi);
            xrgb_pixels(yRow, x, c.line, rLo, gLo, bLo, out);
            xrgb_pixels(yRow, x + V::N, c.line, rHi, gHi, bHi, out);
        }
    }
    for (; x < width; ++x) {
        const int32_t l = c.yTab[yRow[x]];
        const int32_t r = clamp8((l + across_at(pr, x, shiftX, centred)) >> 20);
        const int32_t g = clamp8((l - across_at(pg, x, shiftX, centred)) >> 20);
        const int32_t b = clamp8((l + across_at(pb, x, shiftX, centred)) >> 20);
        out[x] = static_cast<uint32_t>(r << 16 | g << 8 | b);
    }
}

// A weighted sum of blue, green and red as three 16-bit multiply-adds over
// the pairs (b, g), (g, r) and (r, b), each weight split in halves.
struct Weighted {
    V::T bg, gr, rb;
    explicit Weighted(const int32_t* w) {
        const auto half = [](int32_t a) { return a >> 1; };
        bg = V::set1(pair(half(w[0]), half(w[1])));
        gr = V::set1(pair(w[1] - half(w[1]), half(w[2])));
        rb = V::set1(pair(w[2] - half(w[2]), w[0] - half(w[0])));
    }
    static int32_t pair(int32_t lo, int32_t hi) {
        return static_cast<int32_t>((static_cast<uint32_t>(hi) << 16) | (static_cast<uint32_t>(lo) & 0xFFFF));
    }
    V::T of(V::T pbg, V::T pgr, V::T prb) const {
        return V::add(V::add(V::madd(pbg, bg), V::madd(pgr, gr)), V::madd(prb, rb));
    }
};

void differences(const uint32_t* row, int width, const FromXrgbConsts& c, uint8_t* yOut, int32_t* cb,
                 int32_t* cr, bool add) {
    const Weighted wy(c.y), wcb(c.cb), wcr(c.cr);
    // Each pixel's bytes as 16-bit pairs: B G R X to (B, G), (G, R), (R, B).
    const V::T sbg = V::bytes(0, -1, 1, -1), sgr = V::bytes(1, -1, 2, -1), srb = V::bytes(2, -1, 0, -1);
    const V::T yoff = V::set1(c.yoff);
    int x = 0;
    for (; x + V::N <= width; x += V::N) {
        const V::T px = V::load(row + x);
        const V::T pbg = V::shuffle8(px, sbg), pgr = V::shuffle8(px, sgr), prb = V::shuffle8(px, srb);
        if (yOut != nullptr) V::store_u8(yOut + x, V::srai<16>(V::add(wy.of(pbg, pgr, prb), yoff)));
        V::T u = wcb.of(pbg, pgr, prb), v = wcr.of(pbg, pgr, prb);
        if (add) u = V::add(u, V::load(cb + x)), v = V::add(v, V::load(cr + x));
        V::store(cb + x, u);
        V::store(cr + x, v);
    }
    for (; x < width; ++x) {
        const int32_t r = (row[x] >> 16) & 0xFF, g = (row[x] >> 8) & 0xFF, b = row[x] & 0xFF;
        if (yOut != nullptr) yOut[x] = static_cast<uint8_t>(clamp8((c.y[2] * r + c.y[1] * g + c.y[0] * b + c.yoff) >> 16));
        const int32_t u = c.cb[2] * r + c.cb[1] * g + c.cb[0] * b, v = c.cr[2] * r + c.cr[1] * g + c.cr[0] * b;
        cb[x] = add ? cb[x] + u : u;
        cr[x] = add ? cr[x] + v : v;
    }
}

inline V::T taps_at(const int32_t* t, int cx, ChromaTaps taps) {
    if (taps == ChromaTaps::one) return V::load(t + cx);
    V::T even, odd;
    V::deinterleave(V::load(t + 2 * cx), V::load(t + 2 * cx + V::N), even, odd);
    if (taps == ChromaTaps::centred) return V::add(even, odd);
    V::T before, unused;  // the odd columns before the even ones
    V::deinterleave(V::load(t + 2 * cx - 1), V::load(t + 2 * cx - 1 + V::N), before, unused);
    return V::add(V::add(before, odd), V::slli<1>(even));
}

inline int32_t taps_at_scalar(const int32_t* t, int cx, ChromaTaps taps) {
    if (taps == ChromaTaps::one) return t[cx];
    if (taps == ChromaTaps::centred) return t[2 * cx] + t[2 * cx + 1];
    return t[2 * cx - 1] + 2 * t[2 * cx] + t[2 * cx + 1];
}

void chroma(const int32_t* cb, const int32_t* cr, int cw, ChromaTaps taps, int shift, int32_t bias, uint8_t* outU,
            uint8_t* outV) {
    ++cb, ++cr;  // column 0
    const V::T vbias = V::set1(bias);
    int cx = 0;
    for (; cx + V::N <= cw; cx += V::N) {
        V::store_u8(outU + cx, V::sra(V::add(taps_at(cb, cx, taps), vbias), shift));
        V::store_u8(outV + cx, V::sra(V::add(taps_at(cr, cx, taps), vbias), shift));
    }
    for (; cx < cw; ++cx) {
        outU[cx] = static_cast<uint8_t>(clamp8((taps_at_scalar(cb, cx, taps) + bias) >> shift));
        outV[cx] = static_cast<uint8_t>(clamp8((taps_at_scalar(cr, cx, taps) + bias) >> shift));
    }
}

constexpr YuvRowKernels kRows = {chroma_products, to_xrgb, differences, chroma};
