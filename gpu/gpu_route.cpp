#include "gpu/gpu_route.h"

#include <cstdint>

#include "gpu/context_pool.h"
#include "gpu/gpu_context.h"
#include "gpu/noise_profile.h"
#include "gpu/noise_rules.h"

namespace orv {

namespace {

// The bytes that w x h pixels of a frame span, as addresses.
struct Span {
    uintptr_t begin, end;
};

Span span_of(const FrameView& f, int32_t w, int32_t h) {
    const uintptr_t lowest = reinterpret_cast<uintptr_t>(lowest_row(FrameView{f.data, f.pitch, w, h}));
    const uintptr_t step = static_cast<uintptr_t>(f.pitch < 0 ? -f.pitch : f.pitch);
    return Span{lowest, lowest + static_cast<uintptr_t>(h - 1) * step + static_cast<uintptr_t>(w) * 4};
}

// The GPU writes its result straight into a separate destination. One that
// shares memory with the source (a host that filters in place) gets it only
// once the whole frame is back: a failure after a partial download would
// otherwise leave the CPU route a source the GPU had overwritten, and the
// frame would come out denoised twice.
bool shares_memory(const FrameView& src, const FrameView& dst) {
    const int32_t w = src.w, h = src.h;
    if (w <= 0 || h <= 0) return false;
    const Span s = span_of(src, w, h), d = span_of(dst, w, h);
    return s.begin < d.end && d.begin < s.end;
}

// `estimate`, when given, is the frame's noiseSigma as the host folded it;
// else the frame is profiled and folded into the instance's.
bool gpu_route_frame(FilterInstance& fi, const FrameView& src, const FrameView& dst, const float* estimate) noexcept {
    const int32_t w = src.w, h = src.h;
    AdaptedSettings s{fi.f1, fi.f2, fi.sharp};
    if (fi.autoProfile != 0 && estimate != nullptr) {
        s = adaptation_rule(*estimate, fi.f1, fi.f2, fi.sharp);
    } else if (fi.autoProfile != 0) {
        float sigma = 0.0f;
        if (gpu_profile_noise(fi.gpu, src.data, src.pitch, w, h, &sigma))
            fi.noiseSigma = smoothing_rule(fi.noiseSigma, sigma);
        s = adaptation_rule(fi.noiseSigma, fi.f1, fi.f2, fi.sharp);
        // A failed profile keeps the frame on the GPU: it is no reason.
        cuda::take_first_failure();
    }
    const auto denoise = shares_memory(src, dst) ? &gpu_denoise_frame_in_place : &gpu_denoise_frame;
    return denoise(fi.gpu, src.data, src.pitch, dst.data, dst.pitch, w, h, s.f1, s.f2, s.sharp, fi.interlace,
                   fi.showNoise != 0 ? 1 : 0);
}

bool gpu_route_run_frame(FilterInstance& fi, const FrameView& src, const FrameView& dst,
                         const float* estimate) noexcept {
    fi.gpuDeclineCall = nullptr;
    fi.gpuDeclineStatus = 0;
    if (fi.gpu == nullptr) return false;
    cuda::take_first_failure();
    const bool done = gpu_route_frame(fi, src, dst, estimate);
    if (!done) {
        const cuda::Failure f = cuda::take_first_failure();
        fi.gpuDeclineCall = f.call != nullptr ? f.call : "a frame the GPU route can't take";
        fi.gpuDeclineStatus = f.status;
    }
    return done;
}

}  // namespace

void gpu_route_start(FilterInstance& fi, int32_t w, int32_t h) noexcept {
    // A start without an end since the last one keeps its context rather
    // than losing it.
    if (fi.gpu == nullptr) fi.gpu = gpu_context_take(w, h);
    // Sizing now spares the first frame the wait; a failure here is retried
    // by that frame.
    if (fi.gpu != nullptr) gpu_context_ensure(fi.gpu, w, h);
}

bool gpu_route_run(FilterInstance& fi, const FrameView& src, const FrameView& dst) noexcept {
    return gpu_route_run_frame(fi, src, dst, nullptr);
}

bool gpu_route_run_estimated(FilterInstance& fi, float noiseSigma, const FrameView& src,
                             const FrameView& dst) noexcept {
    return gpu_route_run_frame(fi, src, dst, &noiseSigma);
}

void gpu_route_end(FilterInstance& fi) noexcept {
    if (fi.gpu == nullptr) return;
    gpu_context_give_back(fi.gpu);
    fi.gpu = nullptr;
}

}  // namespace orv
