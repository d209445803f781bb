#include "gpu/gpu_context.h"

#include <cstdlib>
#include <cstring>

namespace orv {

using namespace cuda;

namespace {

void free_buffer(void*& buffer) {
    if (buffer == nullptr) return;
    free_device_memory(buffer);  // nothing to be done about a failure here
    buffer = nullptr;
}

void free_buffers(GpuContext& ctx) {
    free_buffer(ctx.devSrc);
    free_buffer(ctx.devDst);
    free_buffer(ctx.devSum);
    free_buffer(ctx.devCount);
    ctx.devPitch = 0;
}

// A host frame's lowest-addressed row; transfers step up from it by |pitch|.
template <class Byte>
Byte* lowest_host_row(Byte* row0, ptrdiff_t pitch, int32_t h) {
    return pitch < 0 ? row0 + static_cast<ptrdiff_t>(h - 1) * pitch : row0;
}

size_t row_step(ptrdiff_t pitch) { return static_cast<size_t>(pitch < 0 ? -pitch : pitch); }

size_t row_bytes(int32_t w) { return static_cast<size_t>(w) * 4; }

}  // namespace

unsigned blocks_for(int32_t n, int32_t span) noexcept {
    return static_cast<unsigned>((static_cast<int64_t>(n) + span - 1) / span);
}

GpuContext* gpu_context_create() noexcept {
    auto* ctx = static_cast<GpuContext*>(std::calloc(1, sizeof(GpuContext)));
    if (ctx == nullptr) return nullptr;
    if (create_stream(&ctx->stream, kNonBlockingStream) != kSuccess) {
        std::free(ctx);
        return nullptr;
    }
    return ctx;
}

void gpu_context_free(GpuContext* ctx) noexcept {
    if (ctx == nullptr) return;
    // The stream's queued work may still use the buffers.
    if (ctx->stream != nullptr) wait_stream(ctx->stream);
    free_buffers(*ctx);
    if (ctx->stream != nullptr) destroy_stream(ctx->stream);
    std::free(ctx->hostStage);
    std::free(ctx);
}

bool gpu_context_ensure(GpuContext* ctx, int32_t w, int32_t h) noexcept {
    if (ctx == nullptr || w <= 0 || h <= 0) return false;
    if (w == ctx->frameWidth && h == ctx->frameHeight && ctx->devSrc != nullptr && ctx->devDst != nullptr &&
        ctx->devPitch != 0)
        return true;

    if (ctx->stream != nullptr) wait_stream(ctx->stream);
    free_buffers(*ctx);

    size_t pitch = 0;
    if (alloc_rows(&ctx->devSrc, &pitch, row_bytes(w), static_cast<size_t>(h)) != kSuccess) {
        ctx->devSrc = nullptr;
        return false;
    }
    // Both frames share one pitch: the one reported for the second.
    if (alloc_rows(&ctx->devDst, &pitch, row_bytes(w), static_cast<size_t>(h)) != kSuccess) {
        ctx->devDst = nullptr;
        free_buffers(*ctx);
        return false;
    }
    if (alloc_bytes(&ctx->devSum, sizeof(unsigned long long)) != kSuccess) {
        ctx->devSum = nullptr;
        free_buffers(*ctx);
        return false;
    }
    if (alloc_bytes(&ctx->devCount, sizeof(unsigned int)) != kSuccess) {
        ctx->devCount = nullptr;
        free_buffers(*ctx);
        return false;
    }
    ctx->devPitch = pitch;
    ctx->frameWidth = w;
    ctx->frameHeight = h;
    return true;
}

Status gpu_upload_frame(GpuContext& ctx, const void* src, ptrdiff_t srcPitch, int32_t w, int32_t h) noexcept {
    const auto* lowest = lowest_host_row(static_cast<const unsigned char*>(src), srcPitch, h);
    return queue_copy_rows(ctx.devSrc, ctx.devPitch, lowest, row_step(srcPitch), row_bytes(w), static_cast<size_t>(h),
                           kHostToDevice, ctx.stream);
}

bool gpu_denoise_frame(GpuContext* ctx, const void* src, ptrdiff_t srcPitch, void* dst, ptrdiff_t dstPitch, int32_t w,
                       int32_t h, int32_t f1, int32_t f2, int32_t sharp, int32_t interlace,
                       int32_t showNoise) noexcept {
    if (ctx == nullptr) return false;
    if (!gpu_context_ensure(ctx, w, h)) return false;
    if (src == nullptr || dst == nullptr || srcPitch == 0 || dstPitch == 0) return false;

    if (gpu_upload_frame(*ctx, src, srcPitch, w, h) != kSuccess) return false;

    DenoiseParams params{static_cast<const unsigned char*>(ctx->devSrc),
                         ctx->devPitch,
                         static_cast<unsigned char*>(ctx->devDst),
                         ctx->devPitch,
                         w,
                         h,
                         f1,
                         f2,
                         sharp,
                         interlace,
                         showNoise};
    const Dim3 grid{blocks_for(w, 16), blocks_for(h, 16), 1};
    queue_launch(Kernel::Denoise, grid, Dim3{16, 16, 1}, params.pointers().data(), 0, ctx->stream);
    if (take_launch_status() != kSuccess) return false;

    auto* lowest = lowest_host_row(static_cast<unsigned char*>(dst), dstPitch, h);
    if (queue_copy_rows(lowest, row_step(dstPitch), ctx->devDst, ctx->devPitch, row_bytes(w), static_cast<size_t>(h),
                        kDeviceToHost, ctx->stream) != kSuccess)
        return false;
    return wait_stream(ctx->stream) == kSuccess;
}

namespace {

bool ensure_host_stage(GpuContext& ctx, size_t bytes) {
    if (ctx.hostStage != nullptr && ctx.hostStageBytes >= bytes) return true;
    std::free(ctx.hostStage);
    ctx.hostStage = std::malloc(bytes);
    ctx.hostStageBytes = ctx.hostStage != nullptr ? bytes : 0;
    return ctx.hostStage != nullptr;
}

}  // namespace

bool gpu_denoise_frame_in_place(GpuContext* ctx, const void* src, ptrdiff_t srcPitch, void* dst, ptrdiff_t dstPitch,
                                int32_t w, int32_t h, int32_t f1, int32_t f2, int32_t sharp, int32_t interlace,
                                int32_t showNoise) noexcept {
    if (ctx == nullptr || dst == nullptr || w <= 0 || h <= 0 || dstPitch == 0) return false;
    const size_t packedPitch = row_bytes(w);
    if (!ensure_host_stage(*ctx, packedPitch * static_cast<size_t>(h))) return false;
    if (!gpu_denoise_frame(ctx, src, srcPitch, ctx->hostStage, static_cast<ptrdiff_t>(packedPitch), w, h, f1, f2, sharp,
                           interlace, showNoise))
        return false;
    // Row i of the stage is the result for the source's i-th lowest row,
    // which goes to the destination's i-th lowest row.
    const auto* from = static_cast<const unsigned char*>(ctx->hostStage);
    auto* to = lowest_host_row(static_cast<unsigned char*>(dst), dstPitch, h);
    for (int32_t i = 0; i < h; ++i) {
        std::memmove(to, from, packedPitch);
        from += packedPitch;
        to += row_step(dstPitch);
    }
    return true;
}

}  // namespace orv
