#include "core/denoise.h"

#include "core/colour.h"
#include "core/wrap.h"

namespace orv {

Strengths make_strengths(int32_t f1, int32_t f2, int32_t sharp) {
    return Strengths{wrap_mul(10, f1), wrap_div(wrap_mul(333, f1), 1000), wrap_mul(10, f2),
                     wrap_div(wrap_mul(333, f2), 1000), sharp};
}

namespace {

// One response against its threshold: noise is kept (and later subtracted),
// structure is boosted by sharp/32.
inline int32_t decide(int32_t R, int32_t T, int32_t sharp) {
    if (wrap_mul(10, wrap_abs(R)) > T) return wrap_neg(wrap_mul(sharp, R)) >> 5;
    return R;
}

}  // namespace

int32_t correction_from_pairs(int32_t c, const int32_t (*P)[7], const Strengths& st) {
    int32_t sum = 0;
    for (int dir = 0; dir < 4; ++dir) {
        const int32_t* p = P[dir];
        int32_t r1 = 5041 * c, r2 = 5041 * c;
        for (int d = 1; d <= 6; ++d) {
            r1 += K1[d] * p[d];
            r2 += K2[d] * p[d];
        }
        const int32_t e1 = wrap_abs(p[1] + p[2] + p[3] - p[4] - p[5] - p[6]);
        const int32_t e2 = wrap_abs(p[1] - p[2] - p[3] - p[4] + p[5] + p[6]);
        const int32_t t1 = wrap_mul(wrap_sub(st.a1, wrap_mul(st.k1, e1)), 2000);
        const int32_t t2 = wrap_mul(wrap_sub(st.a2, wrap_mul(st.k2, e2)), 2000);
        sum = wrap_add(sum, decide(r1, t1, st.sharp));
        sum = wrap_add(sum, decide(r2, t2, st.sharp));
    }
    return sum >> 16;
}

void denoise_cpu(const DenoiseJob& job) {
    const int32_t h = job.height, w = job.width;
    if (h <= 0 || w <= 0) return;
    const uint8_t* plane = job.instance->lumaPlane;
    const bool showNoise = job.instance->showNoise != 0;
    const int32_t s = job.interlace != 0 ? 2 : 1;
    const Strengths st = make_strengths(job.f1, job.f2, job.sharp);
    // Row and column steps of the minus-side neighbour for each direction:
    // horizontal, vertical, falling diagonal, rising diagonal.
    const int32_t dj[4] = {0, -s, -s, -s};
    const int32_t di[4] = {-1, 0, -1, 1};

    for (int32_t j = 0; j < h; ++j) {
        for (int32_t i = 0; i < w; ++i) {
            const int64_t idx = static_cast<int64_t>(j) * w + i;
            const int32_t c = plane[idx];
            auto sample = [&](int32_t r, int32_t col) -> int32_t {
                if (r < 0 || r >= h || col < 0 || col >= w) return c;
                return plane[static_cast<int64_t>(r) * w + col];
            };
            int32_t P[4][7];
            for (int dir = 0; dir < 4; ++dir) {
                P[dir][0] = 0;
                for (int32_t d = 1; d <= 6; ++d)
                    P[dir][d] = sample(j + dj[dir] * d, i + di[dir] * d) + sample(j - dj[dir] * d, i - di[dir] * d);
            }
            const int32_t S = correction_from_pairs(c, P, st);
            const uint32_t in = job.source[idx];
            const uint32_t out = rebuild_xrgb(in, S);
            job.output[idx] = showNoise ? show_noise_word(in, out) : out;
        }
    }
}

}  // namespace orv
