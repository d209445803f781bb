// The reference kernels: the denoise as plainly as it can be written, one
// pixel at a time with a border check on every neighbour. They are what every
// other kernel set must match bit for bit, the reference route's core, and
// the set for processors without SSE4.1.
#include "core/colour.h"
#include "core/decision.h"
#include "core/denoise.h"
#include "core/row_kernels.h"

namespace orv::kernels {

PassConstants make_pass_constants(int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t showNoise) {
    const Strengths st = make_strengths(f1, f2, sharp);
    // |a| + |k|*max(E) <= 10^6 keeps (a - k*E)*2000 within 32 bits for every
    // E (0..1530); it also means 10*f and 333*f did not wrap.
    auto small = [](int32_t f) {
        const int64_t a = 10 * static_cast<int64_t>(f), k = 333 * static_cast<int64_t>(f) / 1000;
        return (a < 0 ? -a : a) + 1530 * (k < 0 ? -k : k) <= 1000000;
    };
    const bool tenth = small(f1) && small(f2);
    PassConstants pc{};
    pc.f1 = f1, pc.f2 = f2, pc.sharp = sharp;
    pc.a1x2000 = wrap_mul(st.a1, 2000), pc.k1x2000 = wrap_mul(st.k1, 2000);
    pc.a2x2000 = wrap_mul(st.a2, 2000), pc.k2x2000 = wrap_mul(st.k2, 2000);
    pc.tenthThresholds = tenth ? 1 : 0;
    if (tenth) {
        pc.a1x200 = st.a1 * 200, pc.k1x200 = st.k1 * 200;
        pc.a2x200 = st.a2 * 200, pc.k2x200 = st.k2 * 200;
    }
    pc.negSharp = wrap_neg(st.sharp);
    pc.step = interlace != 0 ? 2 : 1;
    pc.showNoise = showNoise;
    return pc;
}

ORV_DECL_LUMA_ROW(luma_row_reference) {
    for (int32_t i = 0; i < count; ++i) {
        plane[i] = luma_byte(source[i]);
        if (wide != nullptr) wide[i] = plane[i];
        if (multiples != nullptr) {
            const uint32_t w = source[i];
            const uint32_t n = 587 * (w >> 8 & 0xFF) + 299 * (w >> 16 & 0xFF) + 114 * (w & 0xFF);
            const uint32_t before = i % 8 == 0 ? 0u : multiples[i / 8];
            multiples[i / 8] = static_cast<uint8_t>(before | (n % 1000 == 0 ? 1u : 0u) << (i % 8));
        }
    }
}

namespace {

// Row and column steps of the minus-side neighbour for each direction:
// horizontal, vertical, falling diagonal, rising diagonal.
constexpr int32_t kDirRow[4] = {0, -1, -1, -1};
constexpr int32_t kDirCol[4] = {-1, 0, -1, 1};

int32_t correction_at(const RowJob& job, const Strengths& st, int32_t i) {
    const int32_t w = job.width, h = job.height, j = job.row, s = job.pc.step;
    const uint8_t* plane = job.plane;
    const int32_t c = plane[static_cast<int64_t>(j) * w + i];
    // A neighbour outside the frame stands in as the centre value.
    auto sample = [&](int64_t r, int64_t col) -> int32_t {
        if (r < 0 || r >= h || col < 0 || col >= w) return c;
        return plane[r * w + col];
    };
    int32_t P[4][7] = {};
    for (int dir = 0; dir < 4; ++dir) {
        for (int32_t d = 1; d <= 6; ++d) {
            const int64_t dr = static_cast<int64_t>(kDirRow[dir]) * s * d, dc = kDirCol[dir] * d;
            P[dir][d] = sample(j + dr, i + dc) + sample(j - dr, i - dc);
        }
    }
    return correction_from_pairs(c, P, st);
}

}  // namespace

ORV_DECL_CORRECTIONS_ROW(corrections_row_reference) {
    const Strengths st = make_strengths(job.pc.f1, job.pc.f2, job.pc.sharp);
    for (int32_t i = 0; i < job.width; ++i) S[i] = correction_at(job, st, i);
}

// The decision on a plane of wider samples in 64 bits, as defined: each
// neighbour judged on its own, T = (a - k*E)*2000, structure when
// 10*|R| > T, S = (sum of the eight R') >> 16, floors throughout.
ORV_DECL_CORRECTIONS_WIDE_ROW(corrections_wide_row_reference) {
    static constexpr int64_t kK1[7] = {5041, 4464, 2864, 608, -1788, -3773, -4895};
    static constexpr int64_t kK2[7] = {5041, 2864, -1788, -4895, -3773, 608, 4464};
    auto respond = [&](int64_t R, int64_t E, int64_t a, int64_t k) -> int64_t {
        const int64_t T = (a - k * E) * 2000;
        if (10 * (R < 0 ? -R : R) > T) return (-(job.sharp * R)) >> 5;
        return R;
    };
    // A line's word is the sample's quarter and remainder.
    auto value = [](int32_t word) -> int64_t { return 4 * (word >> 16) + (word & 0xFFFF); };
    for (int32_t i = 0; i < job.width; ++i) {
        const int64_t c = value(job.lines[6][i]);
        auto sample = [&](int t, int64_t col) -> int64_t {
            if (col < 0 || col >= job.width) return c;
            const int32_t v = job.lines[t][col];
            return v == kWideOutside ? c : value(v);
        };
        int64_t sum = 0;
        for (int dir = 0; dir < 4; ++dir) {
            int64_t P[7] = {};
            for (int d = 1; d <= 6; ++d)
                P[d] = sample(6 + kDirRow[dir] * d, i + kDirCol[dir] * d) +
                       sample(6 - kDirRow[dir] * d, i - kDirCol[dir] * d);
            int64_t R1 = kK1[0] * c, R2 = kK2[0] * c;
            for (int d = 1; d <= 6; ++d) R1 += kK1[d] * P[d], R2 += kK2[d] * P[d];
            const int64_t E1 = P[1] + P[2] + P[3] - P[4] - P[5] - P[6];
            const int64_t E2 = P[1] - P[2] - P[3] - P[4] + P[5] + P[6];
            sum += respond(R1, E1 < 0 ? -E1 : E1, job.a1, job.k1) + respond(R2, E2 < 0 ? -E2 : E2, job.a2, job.k2);
        }
        S[i] = static_cast<int32_t>(sum >> 16);
    }
}

ORV_DECL_REBUILD_ROW(rebuild_row_reference) {
    // Works the luma out from each word: the samples are there for the vector sets.
    (void)luma, (void)multiples;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t in = words[i];
        const uint32_t o = rebuild_xrgb(in, S[i]);
        out[i] = showNoise != 0 ? show_noise_word(in, o) : o;
    }
}

ORV_DECL_DENOISE_ROW(denoise_row_reference) {
    const Strengths st = make_strengths(job.pc.f1, job.pc.f2, job.pc.sharp);
    for (int32_t i = 0; i < job.width; ++i) {
        const int32_t S = correction_at(job, st, i);
        rebuild_row_reference(job.source + i, &S, 1, job.pc.showNoise, job.output + i, nullptr, nullptr);
    }
}

}  // namespace orv::kernels
