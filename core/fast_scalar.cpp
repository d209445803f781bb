// The fast route's portable kernels, for processors without AVX2. Same
// arithmetic as the reference core; the speed comes from reading neighbours
// straight from the plane wherever the whole neighbourhood lies in the frame,
// and from the route working on the host's rows without scratch frames.
#include "core/colour.h"
#include "core/denoise.h"
#include "core/fast_kernels.h"
#include "core/wrap.h"

namespace orv::fast {

namespace {

constexpr int32_t kReach = 6;

inline int32_t respond(int32_t R, int32_t T, int32_t negSharp) {
    // |R| stays far below 2^31 / 10 (R comes from bytes), so 10*|R| is exact.
    const int32_t tenAbs = 10 * (R < 0 ? -R : R);
    // Noise and structure mix at random in real pictures: select without a
    // branch the processor would mispredict.
    const int32_t structure = wrap_mul(negSharp, R) >> 5;
    const int32_t mask = -static_cast<int32_t>(tenAbs > T);
    return (structure & mask) | (R & ~mask);
}

// P[dir][d - 1] is the pair sum at distance d.
inline int32_t correction(int32_t c, const int32_t (&P)[4][kReach], const PassConstants& pc) {
    const int32_t centre = 5041 * c;
    int32_t sum = 0;
    for (const auto& p : P) {
        int32_t r1 = centre, r2 = centre;
        for (int d = 0; d < kReach; ++d) {
            r1 += K1[d + 1] * p[d];
            r2 += K2[d + 1] * p[d];
        }
        const int32_t x = p[0] - p[3], y = (p[1] + p[2]) - (p[4] + p[5]);
        const int32_t e1 = x + y < 0 ? -(x + y) : x + y;
        const int32_t e2 = x - y < 0 ? -(x - y) : x - y;
        sum = wrap_add(sum, respond(r1, wrap_sub(pc.a1x2000, wrap_mul(pc.k1x2000, e1)), pc.negSharp));
        sum = wrap_add(sum, respond(r2, wrap_sub(pc.a2x2000, wrap_mul(pc.k2x2000, e2)), pc.negSharp));
    }
    return sum >> 16;
}

}  // namespace

void luma_row_scalar(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide) {
    build_luma_plane(source, count, plane);
    if (wide != nullptr)
        for (int32_t i = 0; i < count; ++i) wide[i] = plane[i];
}

void denoise_row_scalar(const RowJob& job) {
    const int32_t w = job.width, h = job.height, j = job.row, s = job.pc.step;
    // Rows j - s*d (up[d]) and j + s*d (down[d]); null when outside the frame.
    const uint8_t* up[kReach + 1];
    const uint8_t* down[kReach + 1];
    const uint8_t* here = job.plane + static_cast<int64_t>(j) * w;
    for (int32_t d = 0; d <= kReach; ++d) {
        const int64_t ru = static_cast<int64_t>(j) - static_cast<int64_t>(s) * d;
        const int64_t rd = static_cast<int64_t>(j) + static_cast<int64_t>(s) * d;
        up[d] = ru >= 0 ? job.plane + ru * w : nullptr;
        down[d] = rd < h ? job.plane + rd * w : nullptr;
    }
    const bool rowsInside = up[kReach] != nullptr && down[kReach] != nullptr;
    const bool showNoise = job.pc.showNoise != 0;

    for (int32_t i = 0; i < w; ++i) {
        const int32_t c = here[i];
        int32_t P[4][kReach];
        if (rowsInside && i >= kReach && i + kReach < w) {
            for (int32_t d = 1; d <= kReach; ++d) {
                P[0][d - 1] = here[i - d] + here[i + d];
                P[1][d - 1] = up[d][i] + down[d][i];
                P[2][d - 1] = up[d][i - d] + down[d][i + d];
                P[3][d - 1] = up[d][i + d] + down[d][i - d];
            }
        } else {
            // Near an edge an outside neighbour stands in as the centre value.
            auto at = [&](const uint8_t* row, int32_t col) -> int32_t {
                return row != nullptr && col >= 0 && col < w ? row[col] : c;
            };
            for (int32_t d = 1; d <= kReach; ++d) {
                P[0][d - 1] = at(here, i - d) + at(here, i + d);
                P[1][d - 1] = at(up[d], i) + at(down[d], i);
                P[2][d - 1] = at(up[d], i - d) + at(down[d], i + d);
                P[3][d - 1] = at(up[d], i + d) + at(down[d], i - d);
            }
        }
        const uint32_t in = job.source[i];
        const uint32_t out = rebuild_xrgb(in, correction(c, P, job.pc));
        job.output[i] = showNoise ? show_noise_word(in, out) : out;
    }
}

}  // namespace orv::fast
