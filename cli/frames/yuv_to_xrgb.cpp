#include "cli/frames/yuv_to_xrgb.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/frames/yuv_rows.h"
#include "core/inline.h"

namespace orv::cli {

namespace {

// Chroma at luma position x of a row, times 4: co-sited or centred samples,
// the edges repeated.
int chroma_h4(const uint8_t* row, int x, int shift, int cw, bool centred) {
    if (shift == 0) return row[x] * 4;
    const int k = x >> 1;
    if (!centred) {
        if ((x & 1) == 0) return row[k] * 4;
        return (row[k] + row[std::min(k + 1, cw - 1)]) * 2;
    }
    // Centred: luma x sits a quarter before or after chroma sample k.
    const int other = (x & 1) == 0 ? std::max(k - 1, 0) : std::min(k + 1, cw - 1);
    return row[k] * 3 + row[other];
}

struct Coefficients {
    double ys, yoff, cs;                // luma scale and offset, chroma scale
    double rv, gu, gv, bu;              // R = Y + rv V, G = Y - gu U - gv V, B = Y + bu U
};

Coefficients coefficients(const YuvPicture& p) {
    const double kg = 1.0 - p.kr - p.kb;
    Coefficients c{};
    c.ys = p.fullRange ? 1.0 : 255.0 / 219.0;
    c.yoff = p.fullRange ? 0.0 : 16.0;
    c.cs = p.fullRange ? 1.0 : 255.0 / 224.0;
    c.rv = 2.0 * (1.0 - p.kr) * c.cs;
    c.bu = 2.0 * (1.0 - p.kb) * c.cs;
    c.gu = 2.0 * (1.0 - p.kb) * p.kb / kg * c.cs;
    c.gv = 2.0 * (1.0 - p.kr) * p.kr / kg * c.cs;
    return c;
}

// The chroma rows around luma row y and their weights out of 4.
void chroma_rows(const YuvPicture& p, int y, int& r0, int& r1, int& w0) {
    const int ch = (p.height + (1 << p.chromaShiftY) - 1) >> p.chromaShiftY;
    if (p.chromaShiftY == 0) {
        r0 = r1 = y;
        w0 = 4;
        return;
    }
    // 4:2:0 chroma sits between its two luma rows.
    const int k = y >> 1;
    r0 = k;
    r1 = (y & 1) == 0 ? std::max(k - 1, 0) : std::min(k + 1, ch - 1);
    w0 = 3;
}

uint32_t pack(int r, int g, int b) {
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// Chroma rows blended vertically (times 4) to every pixel across (times 16
// in all).
ORV_INLINE void chroma_across(const YuvPicture& p, int cw, const int32_t* tu, const int32_t* tv, int32_t* u,
                              int32_t* v) {
    const size_t n = static_cast<size_t>(p.width);
    if (p.chromaShiftX == 0) {
        for (size_t x = 0; x < n; ++x) u[x] = tu[x] * 4, v[x] = tv[x] * 4;
        return;
    }
    const auto pair = [&](int k) {  // the edges, where neighbours repeat
        const int prev = std::max(k - 1, 0), next = std::min(k + 1, cw - 1);
        const size_t x = static_cast<size_t>(k) * 2;
        if (p.chromaCentred) {
            u[x] = tu[k] * 3 + tu[prev], v[x] = tv[k] * 3 + tv[prev];
            if (x + 1 < n) u[x + 1] = tu[k] * 3 + tu[next], v[x + 1] = tv[k] * 3 + tv[next];
        } else {
            u[x] = tu[k] * 4, v[x] = tv[k] * 4;
            if (x + 1 < n) u[x + 1] = (tu[k] + tu[next]) * 2, v[x + 1] = (tv[k] + tv[next]) * 2;
        }
    };
    pair(0);
    // The interior in straight loops (both neighbours exist, both pixels of
    // a pair too) that the vectoriser takes.
    int32_t* __restrict ou = u;
    int32_t* __restrict ov = v;
    const int32_t* __restrict iu = tu;
    const int32_t* __restrict iv = tv;
    if (p.chromaCentred) {
        for (int k = 1; k < cw - 1; ++k) {
            ou[2 * k] = iu[k] * 3 + iu[k - 1], ou[2 * k + 1] = iu[k] * 3 + iu[k + 1];
            ov[2 * k] = iv[k] * 3 + iv[k - 1], ov[2 * k + 1] = iv[k] * 3 + iv[k + 1];
        }
    } else {
        for (int k = 1; k < cw - 1; ++k) {
            ou[2 * k] = iu[k] * 4, ou[2 * k + 1] = (iu[k] + iu[k + 1]) * 2;
            ov[2 * k] = iv[k] * 4, ov[2 * k + 1] = (iv[k] + iv[k + 1]) * 2;
        }
    }
    if (cw > 1) pair(cw - 1);
}

// Sums in units of 2^-20 (chroma comes interpolated times 16), rounding
// added to luma once; every sum fits 31 bits.
ToXrgbConsts fixed_to_xrgb(const YuvPicture& p, int32_t (&yTab)[256]) {
    const Coefficients c = coefficients(p);
    constexpr double one = 1 << 20;
    for (int v = 0; v < 256; ++v) yTab[v] = static_cast<int32_t>(std::lround((v - c.yoff) * c.ys * one)) + (1 << 19);
    const auto coef = [&](double k) { return static_cast<int32_t>(std::lround(k * one / 16.0)); };
    return {yTab, coef(c.rv), coef(c.gu), coef(c.gv), coef(c.bu), {}};
}

}  // namespace

void yuv_to_xrgb_scalar(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch) {
    int32_t yTab[256];
    const ToXrgbConsts c = fixed_to_xrgb(p, yTab);
    const int32_t rv = c.rv, gu = c.gu, gv = c.gv, bu = c.bu;
    const int cw = (p.width + (1 << p.chromaShiftX) - 1) >> p.chromaShiftX;
    const size_t n = static_cast<size_t>(p.width);
    // Rows of chroma blended vertically (times 4), then horizontally (times 16 in all).
    std::vector<int32_t> tu(static_cast<size_t>(cw) + 1), tv(tu.size()), u(n), v(n), l(n);
    for (int y = 0; y < p.height; ++y) {
        int r0, r1, w0;
        chroma_rows(p, y, r0, r1, w0);
        const uint8_t* u0 = p.plane[1] + r0 * p.pitch[1];
        const uint8_t* u1 = p.plane[1] + r1 * p.pitch[1];
        const uint8_t* v0 = p.plane[2] + r0 * p.pitch[2];
        const uint8_t* v1 = p.plane[2] + r1 * p.pitch[2];
        const int w1 = 4 - w0;
        for (int k = 0; k < cw; ++k) {
            tu[k] = w0 * u0[k] + w1 * u1[k] - 512;
            tv[k] = w0 * v0[k] + w1 * v1[k] - 512;
        }
        chroma_across(p, cw, tu.data(), tv.data(), u.data(), v.data());
        const uint8_t* yr = p.plane[0] + y * p.pitch[0];
        for (size_t x = 0; x < n; ++x) l[x] = yTab[yr[x]];
        auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + y * dstPitch);
        for (size_t x = 0; x < n; ++x) {
            const int32_t r = std::clamp(l[x] + rv * v[x], 0, 255 << 20) >> 20;
            const int32_t g = std::clamp(l[x] - gu * u[x] - gv * v[x], 0, 255 << 20) >> 20;
            const int32_t b = std::clamp(l[x] + bu * u[x], 0, 255 << 20) >> 20;
            out[x] = static_cast<uint32_t>(r << 16 | g << 8 | b);
        }
    }
}

void yuv_to_xrgb_reference(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch) {
    const Coefficients c = coefficients(p);
    const int cw = (p.width + (1 << p.chromaShiftX) - 1) >> p.chromaShiftX;
    for (int y = 0; y < p.height; ++y) {
        int r0, r1, w0;
        chroma_rows(p, y, r0, r1, w0);
        for (int x = 0; x < p.width; ++x) {
            const auto chroma = [&](int plane) {
                const uint8_t* a = p.plane[plane] + r0 * p.pitch[plane];
                const uint8_t* b = p.plane[plane] + r1 * p.pitch[plane];
                return (w0 * chroma_h4(a, x, p.chromaShiftX, cw, p.chromaCentred) +
                        (4 - w0) * chroma_h4(b, x, p.chromaShiftX, cw, p.chromaCentred)) / 16.0 - 128.0;
            };
            const double l = (p.plane[0][y * p.pitch[0] + x] - c.yoff) * c.ys;
            const double cb = chroma(1), cr = chroma(2);
            const auto to8 = [](double s) { return static_cast<int>(std::clamp(std::floor(s + 0.5), 0.0, 255.0)); };
            auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + y * dstPitch);
            out[x] = pack(to8(l + c.rv * cr), to8(l - c.gu * cb - c.gv * cr), to8(l + c.bu * cb));
        }
    }
}

namespace {

// Luma and colour differences of one pixel as the matrix gives them, before
// range scaling: y in 0..255, cb and cr in -127.5..127.5.
struct Weights {
    double yr, yg, yb, ys, yoff, cs;
    double cbr, cbg, cbb, crr, crg, crb;
};

Weights weights(const YuvPicture& p) {
    const double kg = 1.0 - p.kr - p.kb;
    Weights w{};
    w.yr = p.kr, w.yg = kg, w.yb = p.kb;
    w.ys = p.fullRange ? 1.0 : 219.0 / 255.0;
    w.yoff = p.fullRange ? 0.0 : 16.0;
    w.cs = p.fullRange ? 1.0 : 224.0 / 255.0;
    // Cb = (B - Y) / (2 (1 - Kb)), Cr = (R - Y) / (2 (1 - Kr)).
    const double db = 2.0 * (1.0 - p.kb), dr = 2.0 * (1.0 - p.kr);
    w.cbr = -p.kr / db, w.cbg = -kg / db, w.cbb = (1.0 - p.kb) / db;
    w.crr = (1.0 - p.kr) / dr, w.crg = -kg / dr, w.crb = -p.kb / dr;
    return w;
}

uint32_t pixel(const uint32_t* src, ptrdiff_t pitch, int x, int y) {
    return *reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + y * pitch + x * 4);
}

// The luma columns a chroma sample covers and their weights: [1 2 1] around
// a co-sited column, the pair for centred sampling, itself without subsampling.
int chroma_taps(const YuvPicture& p, int cx, int* xs, int* ws) {
    if (p.chromaShiftX == 0) {
        xs[0] = cx, ws[0] = 1;
        return 1;
    }
    const int x = cx * 2, last = p.width - 1;
    if (p.chromaCentred) {
        xs[0] = x, xs[1] = std::min(x + 1, last), ws[0] = ws[1] = 1;
        return 2;
    }
    xs[0] = std::max(x - 1, 0), xs[1] = x, xs[2] = std::min(x + 1, last);
    ws[0] = 1, ws[1] = 2, ws[2] = 1;
    return 3;
}

uint8_t to8(double v) { return static_cast<uint8_t>(std::clamp(std::floor(v + 0.5), 0.0, 255.0)); }

// One chroma row from the colour differences summed over the rows it covers
// (`rows`), averaged across.
ORV_INLINE void chroma_row_out(const YuvPicture& p, int cy, int cw, int rows, const int32_t* cb, const int32_t* cr) {
    uint8_t* ou = p.plane[1] + cy * p.pitch[1];
    uint8_t* ov = p.plane[2] + cy * p.pitch[2];
    // Interior samples of co-sited subsampling, the common case, in one
    // straight loop; the edges and the other sitings take the general one.
    int from = 0, to = 0;
    if (p.chromaShiftX != 0 && !p.chromaCentred && cw > 2 && 2 * (cw - 1) + 1 < p.width) {
        from = 1, to = cw - 1;
        const int shift = 16 + 2 + (rows == 2 ? 1 : 0);
        const int64_t bias = (int64_t{4} * rows) * ((int64_t{128} << 16) + (1 << 15));
        for (int cx = from; cx < to; ++cx) {
            const size_t x = static_cast<size_t>(cx) * 2;
            const int64_t su = int64_t{cb[x - 1]} + 2 * int64_t{cb[x]} + cb[x + 1];
            const int64_t sv = int64_t{cr[x - 1]} + 2 * int64_t{cr[x]} + cr[x + 1];
            ou[cx] = static_cast<uint8_t>(std::clamp<int64_t>((su + bias) >> shift, 0, 255));
            ov[cx] = static_cast<uint8_t>(std::clamp<int64_t>((sv + bias) >> shift, 0, 255));
        }
    }
    for (int cx = 0; cx < cw; ++cx) {
        if (cx == from && to > from) cx = to;
        int xs[3], ws[3];
        const int taps = chroma_taps(p, cx, xs, ws);
        int64_t su = 0, sv = 0, total = 0;
        for (int t = 0; t < taps; ++t) {
            su += int64_t{ws[t]} * cb[static_cast<size_t>(xs[t])];
            sv += int64_t{ws[t]} * cr[static_cast<size_t>(xs[t])];
            total += ws[t];
        }
        // The weights sum to 1, 2, 4 or 8 times the rows: the mean is a shift.
        total *= rows;
        const int shift = 16 + (total == 8 ? 3 : total == 4 ? 2 : total == 2 ? 1 : 0);
        // Mean plus 128, rounded: the offset keeps the sums positive.
        const int64_t bias = total * ((int64_t{128} << 16) + (1 << 15));
        ou[cx] = static_cast<uint8_t>(std::clamp<int64_t>((su + bias) >> shift, 0, 255));
        ov[cx] = static_cast<uint8_t>(std::clamp<int64_t>((sv + bias) >> shift, 0, 255));
    }
}

FromXrgbConsts fixed_from_xrgb(const YuvPicture& p) {
    const Weights w = weights(p);
    constexpr double one = 1 << 16;
    const auto fx = [&](double k) { return static_cast<int32_t>(std::lround(k * one)); };
    return {{fx(w.yb * w.ys), fx(w.yg * w.ys), fx(w.yr * w.ys)},
            {fx(w.cbb * w.cs), fx(w.cbg * w.cs), fx(w.cbr * w.cs)},
            {fx(w.crb * w.cs), fx(w.crg * w.cs), fx(w.crr * w.cs)},
            fx(w.yoff) + (1 << 15)};
}

}  // namespace

void xrgb_to_yuv_scalar(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p) {
    const FromXrgbConsts c = fixed_from_xrgb(p);
    const int32_t yb = c.y[0], yg = c.y[1], yr = c.y[2], yoff = c.yoff;
    const int32_t cbb = c.cb[0], cbg = c.cb[1], cbr = c.cb[2], crb = c.cr[0], crg = c.cr[1], crr = c.cr[2];
    const size_t n = static_cast<size_t>(p.width);
    const int cw = (p.width + (1 << p.chromaShiftX) - 1) >> p.chromaShiftX;
    const int ch = (p.height + (1 << p.chromaShiftY) - 1) >> p.chromaShiftY;
    // Colour differences of every pixel of the rows a chroma row covers, summed over those rows.
    std::vector<int32_t> cb(n), cr(n);
    for (int cy = 0; cy < ch; ++cy) {
        const int y0 = cy << p.chromaShiftY;
        const int rows = p.chromaShiftY == 0 ? 1 : 2;
        for (int i = 0; i < rows; ++i) {
            const int y = std::min(y0 + i, p.height - 1);
            const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + y * srcPitch);
            uint8_t* out = p.plane[0] + y * p.pitch[0];
            for (size_t x = 0; x < n; ++x) {
                const int32_t r = (row[x] >> 16) & 0xFF, g = (row[x] >> 8) & 0xFF, b = row[x] & 0xFF;
                if (y == y0 + i) out[x] = static_cast<uint8_t>(std::clamp((yr * r + yg * g + yb * b + yoff) >> 16, 0, 255));
                const int32_t cbx = cbr * r + cbg * g + cbb * b, crx = crr * r + crg * g + crb * b;
                cb[x] = i == 0 ? cbx : cb[x] + cbx;
                cr[x] = i == 0 ? crx : cr[x] + crx;
            }
        }
        chroma_row_out(p, cy, cw, rows, cb.data(), cr.data());
    }
}

void xrgb_to_yuv_reference(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p) {
    const Weights w = weights(p);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint32_t px = pixel(src, srcPitch, x, y);
            const double r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
            p.plane[0][y * p.pitch[0] + x] = to8((w.yr * r + w.yg * g + w.yb * b) * w.ys + w.yoff);
        }
    const int cw = (p.width + (1 << p.chromaShiftX) - 1) >> p.chromaShiftX;
    const int ch = (p.height + (1 << p.chromaShiftY) - 1) >> p.chromaShiftY;
    for (int cy = 0; cy < ch; ++cy)
        for (int cx = 0; cx < cw; ++cx) {
            int xs[3], ws[3];
            const int taps = chroma_taps(p, cx, xs, ws);
            const int y0 = cy << p.chromaShiftY, y1 = std::min(y0 + 1, p.height - 1);
            double cb = 0, cr = 0, total = 0;
            for (int yy = y0; yy <= (p.chromaShiftY != 0 ? y0 + 1 : y0); ++yy)
                for (int t = 0; t < taps; ++t) {
                    const uint32_t px = pixel(src, srcPitch, xs[t], std::min(yy, y1));
                    const double r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
                    cb += ws[t] * (w.cbr * r + w.cbg * g + w.cbb * b);
                    cr += ws[t] * (w.crr * r + w.crg * g + w.crb * b);
                    total += ws[t];
                }
            p.plane[1][cy * p.pitch[1] + cx] = to8(cb / total * w.cs + 128.0);
            p.plane[2][cy * p.pitch[2] + cx] = to8(cr / total * w.cs + 128.0);
        }
}

// ---- the vector sets ---------------------------------------------------------

namespace {

int chroma_width(const YuvPicture& p) { return (p.width + (1 << p.chromaShiftX) - 1) >> p.chromaShiftX; }

// Index 0 and n + 1 repeat the edges of a row of n at 1..n.
void repeat_edges(std::vector<int32_t>& row, int n) {
    row[0] = row[1];
    row[static_cast<size_t>(n) + 1] = row[static_cast<size_t>(n)];
}

}  // namespace

// The table is a rounded line itself, so its rise past the whole slope a is
// a slow ramp e(Y) that (Y m + c) >> 16 follows for some m near its mean slope.
std::optional<LumaLine> luma_line(const int32_t (&yTab)[256]) {
    const int32_t b = yTab[0], a = (yTab[255] - b) / 255;
    int32_t e[256];
    for (int v = 0; v < 256; ++v) {
        e[v] = yTab[v] - b - v * a;
        if (e[v] < 0 || e[v] > 255) return std::nullopt;
    }
    // m within 1/255 of the mean slope, in 2^-16; c the least that fits all.
    for (int32_t m = std::max(0, (e[255] - 1) * 65536 / 255); m <= (e[255] + 1) * 65536 / 255 + 1; ++m) {
        int32_t lo = 0, hi = 65536;  // e(0) = 0: 0 <= c < 65536
        for (int v = 1; v < 256 && lo < hi; ++v)
            lo = std::max(lo, e[v] * 65536 - v * m), hi = std::min(hi, (e[v] + 1) * 65536 - v * m);
        if (lo < hi) return LumaLine{a, m, lo, b};
    }
    return std::nullopt;
}

void luma_table(bool fullRange, int32_t (&yTab)[256]) {
    YuvPicture p{};
    p.fullRange = fullRange;
    fixed_to_xrgb(p, yTab);
}

namespace {

std::optional<LumaLine> line_of_range(bool fullRange) {
    int32_t yTab[256];
    luma_table(fullRange, yTab);
    return luma_line(yTab);
}

// The table depends on the range alone: its line is found once a range.
const std::optional<LumaLine>& range_line(bool fullRange) {
    static const std::optional<LumaLine> lines[2] = {line_of_range(false), line_of_range(true)};
    return lines[fullRange ? 1 : 0];
}

void yuv_to_xrgb_with(const YuvRowKernels& k, const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch) {
    const std::optional<LumaLine>& line = range_line(p.fullRange);
    if (!line) return yuv_to_xrgb_scalar(p, dst, dstPitch);
    int32_t yTab[256];
    ToXrgbConsts c = fixed_to_xrgb(p, yTab);
    c.line = *line;
    const int cw = chroma_width(p);
    std::vector<int32_t> pr(static_cast<size_t>(cw) + 2), pg(pr.size()), pb(pr.size());
    for (int y = 0; y < p.height; ++y) {
        int r0, r1, w0;
        chroma_rows(p, y, r0, r1, w0);
        const uint8_t* rows[4] = {p.plane[1] + r0 * p.pitch[1], p.plane[1] + r1 * p.pitch[1],
                                  p.plane[2] + r0 * p.pitch[2], p.plane[2] + r1 * p.pitch[2]};
        k.products(rows, w0, c, cw, pr.data() + 1, pg.data() + 1, pb.data() + 1);
        repeat_edges(pr, cw), repeat_edges(pg, cw), repeat_edges(pb, cw);
        auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + y * dstPitch);
        k.toXrgb(p.plane[0] + y * p.pitch[0], pr.data(), pg.data(), pb.data(), c, p.width, p.chromaShiftX,
                 p.chromaCentred, out);
    }
}

// The vector multiply-adds take each weight in two 16-bit halves.
bool halves_fit(const FromXrgbConsts& c) {
    for (const int32_t* w : {c.y, c.cb, c.cr})
        for (int i = 0; i < 3; ++i)
            if (w[i] < -65536 || w[i] > 65534) return false;
    return true;
}

void xrgb_to_yuv_with(const YuvRowKernels& k, const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p) {
    const FromXrgbConsts c = fixed_from_xrgb(p);
    if (!halves_fit(c)) return xrgb_to_yuv_scalar(src, srcPitch, p);
    const int cw = chroma_width(p);
    const int ch = (p.height + (1 << p.chromaShiftY) - 1) >> p.chromaShiftY;
    const int rows = p.chromaShiftY == 0 ? 1 : 2;
    const ChromaTaps taps = p.chromaShiftX == 0 ? ChromaTaps::one
                            : p.chromaCentred   ? ChromaTaps::centred
                                                : ChromaTaps::cosited;
    // The weights sum to 1, 2 or 4 across, times the rows: the mean is a
    // shift, and the offset of 128 keeps the sums positive.
    const int total = (taps == ChromaTaps::one ? 1 : taps == ChromaTaps::centred ? 2 : 4) * rows;
    const int shift = 16 + (total == 8 ? 3 : total == 4 ? 2 : total == 2 ? 1 : 0);
    const int32_t bias = total * ((128 << 16) + (1 << 15));
    std::vector<int32_t> cb(static_cast<size_t>(p.width) + 2), cr(cb.size());
    for (int cy = 0; cy < ch; ++cy) {
        const int y0 = cy << p.chromaShiftY;
        for (int i = 0; i < rows; ++i) {
            const int y = std::min(y0 + i, p.height - 1);
            const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + y * srcPitch);
            // A last row repeated for an odd height adds to chroma only.
            uint8_t* luma = y == y0 + i ? p.plane[0] + y * p.pitch[0] : nullptr;
            k.differences(row, p.width, c, luma, cb.data() + 1, cr.data() + 1, i > 0);
        }
        repeat_edges(cb, p.width), repeat_edges(cr, p.width);
        k.chroma(cb.data(), cr.data(), cw, taps, shift, bias, p.plane[1] + cy * p.pitch[1], p.plane[2] + cy * p.pitch[2]);
    }
}

template <const YuvRowKernels& K>
void to_xrgb_by(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch) {
    yuv_to_xrgb_with(K, p, dst, dstPitch);
}

template <const YuvRowKernels& K>
void to_yuv_by(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p) {
    xrgb_to_yuv_with(K, src, srcPitch, p);
}

}  // namespace

const YuvConversion& yuv_conversion_in_use() {
    static const YuvConversion& c = yuv_conversion_for(std::getenv("ORV_KERNEL_SET"));
    return c;
}

std::span<const YuvConversion> yuv_conversions() {
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
#else
    static const bool avx2 = false, avx512 = false;
#endif
    static const YuvConversion sets[] = {
        {"scalar", true, yuv_to_xrgb_scalar, xrgb_to_yuv_scalar},
        {"avx2", avx2, to_xrgb_by<kYuvRowsAvx2>, to_yuv_by<kYuvRowsAvx2>},
        {"avx512", avx512, to_xrgb_by<kYuvRowsAvx512>, to_yuv_by<kYuvRowsAvx512>},
    };
    return sets;
}

const YuvConversion& yuv_conversion_for(const char* cap) {
    const std::string_view name = cap != nullptr ? cap : "";
    size_t widest = 2;
    if (name == "reference" || name == "sse41") widest = 0;
    if (name == "avx2" || name == "avx2vnni") widest = 1;
    const auto sets = yuv_conversions();
    while (widest > 0 && !sets[widest].runs) --widest;
    return sets[widest];
}

void yuv_to_xrgb(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch) { yuv_conversion_in_use().toXrgb(p, dst, dstPitch); }

void xrgb_to_yuv(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p) { yuv_conversion_in_use().toYuv(src, srcPitch, p); }

}  // namespace orv::cli
