#include "gpu/gpu_route.h"

#include "gpu/gpu_context.h"
#include "gpu/noise_profile.h"
#include "gpu/noise_rules.h"

namespace orv {

void gpu_route_start(FilterInstance& fi, int32_t w, int32_t h) noexcept {
    // A start without an end since the last one keeps its context rather
    // than losing it.
    if (fi.gpu == nullptr) fi.gpu = gpu_context_create();
    // Sizing now spares the first frame the wait; a failure here is retried
    // by that frame.
    if (fi.gpu != nullptr) gpu_context_ensure(fi.gpu, w, h);
}

bool gpu_route_run(FilterInstance& fi, const FrameView& src, const FrameView& dst) noexcept {
    if (fi.gpu == nullptr) return false;
    const int32_t w = src.w, h = src.h;
    AdaptedSettings s{fi.f1, fi.f2, fi.sharp};
    if (fi.autoProfile != 0) {
        float sigma = 0.0f;
        if (gpu_profile_noise(fi.gpu, src.data, src.pitch, w, h, &sigma))
            fi.noiseSigma = smoothing_rule(fi.noiseSigma, sigma);
        s = adaptation_rule(fi.noiseSigma, fi.f1, fi.f2, fi.sharp);
    }
    return gpu_denoise_frame(fi.gpu, src.data, src.pitch, dst.data, dst.pitch, w, h, s.f1, s.f2, s.sharp,
                             fi.interlace, fi.showNoise != 0 ? 1 : 0);
}

void gpu_route_end(FilterInstance& fi) noexcept {
    if (fi.gpu == nullptr) return;
    gpu_context_free(fi.gpu);
    fi.gpu = nullptr;
}

}  // namespace orv
