#include "cli/yuv_to_xrgb.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

}  // namespace

void yuv_to_xrgb(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch) {
    const Coefficients c = coefficients(p);
    // Sums in units of 2^-20 (chroma comes interpolated times 16), rounding
    // added to luma once; every sum fits 31 bits.
    constexpr double one = 1 << 20;
    int32_t yTab[256];
    for (int v = 0; v < 256; ++v) yTab[v] = static_cast<int32_t>(std::lround((v - c.yoff) * c.ys * one)) + (1 << 19);
    const auto coef = [&](double k) { return static_cast<int32_t>(std::lround(k * one / 16.0)); };
    const int32_t rv = coef(c.rv), gu = coef(c.gu), gv = coef(c.gv), bu = coef(c.bu);
    const int cw = (p.width + (1 << p.chromaShiftX) - 1) >> p.chromaShiftX;
    std::vector<int32_t> u(static_cast<size_t>(p.width)), v(static_cast<size_t>(p.width));
    for (int y = 0; y < p.height; ++y) {
        int r0, r1, w0;
        chroma_rows(p, y, r0, r1, w0);
        const uint8_t* u0 = p.plane[1] + r0 * p.pitch[1];
        const uint8_t* u1 = p.plane[1] + r1 * p.pitch[1];
        const uint8_t* v0 = p.plane[2] + r0 * p.pitch[2];
        const uint8_t* v1 = p.plane[2] + r1 * p.pitch[2];
        for (int x = 0; x < p.width; ++x) {
            u[x] = w0 * chroma_h4(u0, x, p.chromaShiftX, cw, p.chromaCentred) +
                   (4 - w0) * chroma_h4(u1, x, p.chromaShiftX, cw, p.chromaCentred) - 128 * 16;
            v[x] = w0 * chroma_h4(v0, x, p.chromaShiftX, cw, p.chromaCentred) +
                   (4 - w0) * chroma_h4(v1, x, p.chromaShiftX, cw, p.chromaCentred) - 128 * 16;
        }
        const uint8_t* yr = p.plane[0] + y * p.pitch[0];
        auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + y * dstPitch);
        const auto to8 = [](int32_t s) { return std::clamp(s, 0, 255 << 20) >> 20; };
        for (int x = 0; x < p.width; ++x) {
            const int32_t l = yTab[yr[x]];
            out[x] = pack(to8(l + rv * v[x]), to8(l - gu * u[x] - gv * v[x]), to8(l + bu * u[x]));
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

}  // namespace orv::cli
