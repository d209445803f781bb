#include "gpu/noise_profile.h"

#include <algorithm>

#include "gpu/gpu_context.h"

namespace orv {

using namespace cuda;

float noise_sigma_from(unsigned long long sum, unsigned int count) noexcept {
    if (count < 64) return 0.0f;
    // For normally distributed noise the mean absolute deviation is sqrt(2/pi)
    // times the standard deviation.
    float sigma = (static_cast<float>(sum) / static_cast<float>(count)) / 0.797885f;
    sigma = std::max(sigma, 0.0f);
    return std::min(sigma, 60.0f);
}

bool gpu_profile_noise(GpuContext* ctx, const void* src, ptrdiff_t srcPitch, int32_t w, int32_t h,
                       float* result) noexcept {
    if (ctx == nullptr || result == nullptr) return false;
    if (!gpu_context_ensure(ctx, w, h)) return false;
    if (src == nullptr || srcPitch == 0) return false;

    if (gpu_upload_frame(*ctx, src, srcPitch, w, h) != kSuccess) return false;

    // The zeros and the values read back stay alive until the stream wait.
    const unsigned long long zeroSum = 0;
    const unsigned int zeroCount = 0;
    if (queue_copy_bytes(ctx->devSum, &zeroSum, sizeof zeroSum, kHostToDevice, ctx->stream) != kSuccess) return false;
    if (queue_copy_bytes(ctx->devCount, &zeroCount, sizeof zeroCount, kHostToDevice, ctx->stream) != kSuccess)
        return false;

    ProfileParams params{static_cast<const unsigned char*>(ctx->devSrc),
                         ctx->devPitch,
                         w,
                         h,
                         static_cast<unsigned long long*>(ctx->devSum),
                         static_cast<unsigned int*>(ctx->devCount)};
    // Each thread stands for one 8 x 8 cell, so a block covers 128 x 128 pixels.
    const Dim3 grid{blocks_for(w, 128), blocks_for(h, 128), 1};
    queue_launch(Kernel::ProfileSigma, grid, Dim3{16, 16, 1}, params.pointers().data(), 0, ctx->stream);
    if (take_launch_status() != kSuccess) return false;

    unsigned long long hostSum = 0;
    unsigned int hostCount = 0;
    if (queue_copy_bytes(&hostSum, ctx->devSum, sizeof hostSum, kDeviceToHost, ctx->stream) != kSuccess) return false;
    if (queue_copy_bytes(&hostCount, ctx->devCount, sizeof hostCount, kDeviceToHost, ctx->stream) != kSuccess)
        return false;
    if (wait_stream(ctx->stream) != kSuccess) return false;

    *result = noise_sigma_from(hostSum, hostCount);
    return true;
}

}  // namespace orv
