#include "core/denoise.h"

#include "core/row_kernels.h"

namespace orv {

int32_t correction_from_pairs(int32_t c, const int32_t (*P)[7], const Strengths& st) {
    int32_t sum = 0;
    for (int dir = 0; dir < 4; ++dir) sum = wrap_add(sum, direction_contribution(c, P[dir], st));
    return sum >> 16;
}

void denoise_cpu(const DenoiseJob& job) {
    const int32_t h = job.height, w = job.width;
    if (h <= 0 || w <= 0) return;
    const kernels::PassConstants pc =
        kernels::make_pass_constants(job.f1, job.f2, job.sharp, job.interlace, job.instance->showNoise);
    for (int32_t j = 0; j < h; ++j) {
        const int64_t at = static_cast<int64_t>(j) * w;
        kernels::denoise_row_reference(
            kernels::RowJob{job.instance->lumaPlane, nullptr, w, h, j, job.source + at, job.output + at, pc});
    }
}

}  // namespace orv
