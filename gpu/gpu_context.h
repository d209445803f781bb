// The GPU working state of one filter instance, and one frame's denoise
// through it: upload, orv_kernel<16,16>, download, wait.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gpu/device_ops.h"

namespace orv {

struct GpuContext {
    int32_t frameWidth;
    int32_t frameHeight;
    uint64_t devPitch;  // of both frame buffers; 0 when they don't exist
    void* devSrc;       // the source frame (the noise profile reads it too)
    void* devDst;       // the denoise kernel's output
    void* devSum;       // noise profile: unsigned 64-bit accumulator
    void* devCount;     // noise profile: unsigned 32-bit sample count
    cuda::Stream stream;
    // Where a frame the host filters in place comes back to, packed, so that
    // the frame itself is written only once the whole result is here.
    void* hostStage;
    size_t hostStageBytes;
};

// A new context with its stream and no device buffers, or null (no driver,
// no device, no memory).
GpuContext* gpu_context_create() noexcept;
// Waits for the stream, frees every buffer, the stream and the record. Null
// is allowed.
void gpu_context_free(GpuContext* ctx) noexcept;
// True when the device buffers fit a w x h frame; re-sizes them when they
// don't. After a failure no buffer exists.
bool gpu_context_ensure(GpuContext* ctx, int32_t w, int32_t h) noexcept;

// Denoises a host frame (row 0 and signed pitch, for source and destination)
// on the GPU. True when the destination holds the GPU's result.
bool gpu_denoise_frame(GpuContext* ctx, const void* src, ptrdiff_t srcPitch, void* dst, ptrdiff_t dstPitch,
                       int32_t w, int32_t h, int32_t f1, int32_t f2, int32_t sharp, int32_t interlace,
                       int32_t showNoise) noexcept;

// The same for a destination that shares memory with the source: the result
// comes back into hostStage, and goes into the destination only once the
// frame has succeeded. A failure at any step leaves the frame untouched.
bool gpu_denoise_frame_in_place(GpuContext* ctx, const void* src, ptrdiff_t srcPitch, void* dst,
                                ptrdiff_t dstPitch, int32_t w, int32_t h, int32_t f1, int32_t f2, int32_t sharp,
                                int32_t interlace, int32_t showNoise) noexcept;

// Launch blocks of `span` threads that cover n pixels: (n + span - 1) / span.
unsigned blocks_for(int32_t n, int32_t span) noexcept;

// Queues the upload of a host frame into devSrc, from its lowest-addressed
// row upward, as every route walks a frame. The buffers must fit w x h.
cuda::Status gpu_upload_frame(GpuContext& ctx, const void* src, ptrdiff_t srcPitch, int32_t w,
                                   int32_t h) noexcept;

}  // namespace orv
