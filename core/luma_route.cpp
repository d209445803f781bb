#include "core/luma_route.h"

#include <emmintrin.h>

#include <algorithm>
#include <new>

#include "core/fast_route.h"

namespace orv {

namespace {

constexpr int64_t kSlots = 12 * 2 + 1;  // rows within reach at the larger step, and the row itself

template <class Sample>
const Sample* src_row(const LumaPlanes& p, int64_t r) {
    return reinterpret_cast<const Sample*>(p.src + r * p.srcStride);
}

// Y - S clamped, or the picture of the change, into row j of dst.
template <class Sample>
void finish_row(const LumaPlanes& p, const LumaSettings& s, int64_t j, const int32_t* S) {
    const Sample* in = src_row<Sample>(p, j);
    Sample* out = reinterpret_cast<Sample*>(p.dst + j * p.dstStride);
    const int32_t top = (1 << p.bits) - 1, m = 1 << (p.bits - 8);
    int32_t i = 0;
    if (s.showNoise != 0) {
        for (; i < p.w; ++i) {
            const int32_t y = in[i], o = std::clamp(y - S[i], 0, top);
            out[i] = static_cast<Sample>(127 * m + std::clamp(5 * (y - o), -127 * m, 128 * m));
        }
        return;
    }
    if constexpr (sizeof(Sample) == 2) {
        // Eight at a time, offset by 2^15 so that the signed saturating pack
        // is the clamp to 0..65535 and a signed minimum the one to `top`
        // (|S| < 2^15, so Y - S stays within 32 bits either way).
        const __m128i bias = _mm_set1_epi32(32768), flip = _mm_set1_epi16(-32768), zero = _mm_setzero_si128();
        const __m128i most = _mm_set1_epi16(static_cast<int16_t>(top - 32768));
        for (; i + 8 <= p.w; i += 8) {
            const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            const __m128i lo = _mm_sub_epi32(_mm_sub_epi32(_mm_unpacklo_epi16(y, zero), bias),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i)));
            const __m128i hi = _mm_sub_epi32(_mm_sub_epi32(_mm_unpackhi_epi16(y, zero), bias),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i + 4)));
            const __m128i o = _mm_xor_si128(_mm_min_epi16(_mm_packs_epi32(lo, hi), most), flip);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), o);
        }
    }
    for (; i < p.w; ++i) out[i] = static_cast<Sample>(std::clamp(in[i] - S[i], 0, top));
}

// A row of samples as the wide kernels' (quarter, remainder) words.
template <class Sample>
void widen_row(const Sample* in, int32_t w, int32_t* to) {
    int32_t i = 0;
    if constexpr (sizeof(Sample) == 2) {
        const __m128i three = _mm_set1_epi16(3);
        for (; i + 8 <= w; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            const __m128i q = _mm_srli_epi16(v, 2), r = _mm_and_si128(v, three);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_unpacklo_epi16(r, q));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i + 4), _mm_unpackhi_epi16(r, q));
        }
    }
    for (; i < w; ++i) to[i] = static_cast<int32_t>((in[i] >> 2) << 16 | (in[i] & 3));
}

// The set's own 16-bit kernels on 8-bit samples.
void run_narrow(const LumaPlanes& p, const LumaSettings& s, const KernelSet& set, LumaWorkspace& ws) {
    const kernels::PassConstants pc = kernels::make_pass_constants(s.f1, s.f2, s.sharp, s.interlace, 0);
    const int64_t reach = 6 * static_cast<int64_t>(pc.step);
    int64_t built = 0;
    const int16_t* lines[kernels::kLineCount] = {};
    for (int32_t j = 0; j < p.h; ++j) {
        for (const int64_t need = std::min<int64_t>(p.h, j + reach + 1); built < need; ++built) {
            const uint8_t* in = src_row<uint8_t>(p, built);
            int16_t* line = ws.narrow.row(built);
            for (int32_t i = 0; i < p.w; ++i) line[i] = in[i];
        }
        ws.narrow.lines_of(j, p.h, pc.step, lines);
        set.kernels.corrections_row(kernels::RowJob{nullptr, lines, p.w, p.h, j, nullptr, nullptr, pc, nullptr},
                                    ws.S.data());
        finish_row<uint8_t>(p, s, j, ws.S.data());
    }
}

// 32-bit lines of (quarter, remainder) words: slot r % kSlots for row r, and
// after the slots a marked line.
template <class Sample>
void run_wide(const LumaPlanes& p, const LumaSettings& s, const KernelSet& set, LumaWorkspace& ws) {
    const int64_t stride = p.w + 2 * kernels::kWideLinePad;
    auto line = [&](int64_t slot) { return ws.wide.data() + slot * stride + kernels::kWideLinePad; };
    const int32_t step = s.interlace != 0 ? 2 : 1, m = 1 << (p.bits - 8);
    const int32_t k1 = 333 * s.f1 / 1000, k2 = 333 * s.f2 / 1000;
    kernels::WideRowJob job{nullptr, p.w, 10 * s.f1 * m, k1, 10 * s.f2 * m, k2, s.sharp, 0};
    const int64_t reach = 6 * static_cast<int64_t>(step);
    int64_t built = 0;
    const int32_t* lines[kernels::kLineCount] = {};
    job.lines = lines;
    for (int32_t j = 0; j < p.h; ++j) {
        for (const int64_t need = std::min<int64_t>(p.h, j + reach + 1); built < need; ++built) {
            widen_row(src_row<Sample>(p, built), p.w, line(built % kSlots));
        }
        for (int t = 0; t < kernels::kLineCount; ++t) {
            const int64_t r = j + static_cast<int64_t>(t - 6) * step;
            lines[t] = r >= 0 && r < p.h ? line(r % kSlots) : line(kSlots);
        }
        job.rowsInside = j >= reach && j + reach < p.h ? 1 : 0;
        set.kernels.corrections_wide_row(job, ws.S.data());
        finish_row<Sample>(p, s, j, ws.S.data());
    }
}

}  // namespace

bool luma_settings_fit(const LumaSettings& s) {
    return s.f1 >= 0 && s.f1 <= 100 && s.f2 >= 0 && s.f2 <= 100 && s.sharp >= 0 && s.sharp <= 6;
}

int run_luma_route(const LumaPlanes& p, const LumaSettings& s, const KernelSet& set, LumaWorkspace& ws) {
    if (!luma_settings_fit(s) || p.bits < 8 || p.bits > 16) return 1;
    if (p.w <= 0 || p.h <= 0) return 0;
    const KernelSet& k = runs_here(set) ? set : kernel_sets()[0];
    const bool narrow = p.bits == 8 && k.kernels.readsLines;
    try {
        ws.S.resize(static_cast<size_t>(p.w));
        if (narrow) {
            if (!ws.narrow.fits(p.w, kSlots) && !ws.narrow.make(p.w, kSlots)) return 1;
        } else {
            const size_t stride = static_cast<size_t>(p.w) + 2 * kernels::kWideLinePad;
            // Rows write only their own samples: the pads and the marked line
            // keep their mark from frame to frame.
            if (ws.wide.size() != stride * (kSlots + 1)) ws.wide.assign(stride * (kSlots + 1), kernels::kWideOutside);
        }
    } catch (const std::bad_alloc&) {
        return 1;
    }
    if (narrow) run_narrow(p, s, k, ws);
    else if (p.bits == 8) run_wide<uint8_t>(p, s, k, ws);
    else run_wide<uint16_t>(p, s, k, ws);
    return 0;
}

}  // namespace orv
