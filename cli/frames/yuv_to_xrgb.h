// The common cases, 8-bit planar YUV (4:2:0, 4:2:2, 4:4:4) to XRGB and back,
// done directly: libswscale's paths with full chroma interpolation and
// accurate rounding cost more than decoding and filtering together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orv::cli {

struct YuvPicture {
    uint8_t* plane[3];  // Y, Cb, Cr
    ptrdiff_t pitch[3];
    int width, height;
    int chromaShiftX, chromaShiftY;  // 0 or 1 each
    double kr, kb;                   // the matrix's luma weights of red and blue
    bool fullRange;
    bool chromaCentred;  // chroma sited between luma columns (JPEG), else on the even ones (MPEG-2)
};

// Bilinear chroma interpolation to every pixel, the matrix in fixed point
// with 20 fraction bits, rounded to nearest, clamped; the pad byte is 0. In
// the widest vectors the processor has (yuv_conversions()).
void yuv_to_xrgb(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch);

// The same a pixel at a time: the bytes every vector set must give.
void yuv_to_xrgb_scalar(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch);

// The same in double precision, pixel by pixel: the reference of the above.
void yuv_to_xrgb_reference(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch);

// XRGB to YUV: luma of every pixel, chroma from every pixel's colour
// averaged over the samples each chroma position covers ([1 2 1] across
// co-sited columns, pairs otherwise); fixed point, rounded, clamped.
void xrgb_to_yuv(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p);

// The same a pixel at a time: the bytes every vector set must give.
void xrgb_to_yuv_scalar(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p);

// The same in double precision: the reference of the above.
void xrgb_to_yuv_reference(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p);

// Both directions in one instruction set: scalar, AVX2, AVX-512 (F, BW, VL
// and DQ), with whether this processor runs it. The conversions above take
// the widest that runs, at or below the cap ORV_KERNEL_SET puts on the
// module's kernels (reference and sse41: scalar; avx2 and avx2vnni: AVX2).
struct YuvConversion {
    const char* name;
    bool runs;
    void (*toXrgb)(const YuvPicture& p, uint32_t* dst, ptrdiff_t dstPitch);
    void (*toYuv)(const uint32_t* src, ptrdiff_t srcPitch, const YuvPicture& p);
};
std::span<const YuvConversion> yuv_conversions();
// The set for a cap (null: none), as the conversions above take it.
const YuvConversion& yuv_conversion_for(const char* cap);
// The set the conversions above take: the one for ORV_KERNEL_SET as it
// stands at their first call.
const YuvConversion& yuv_conversion_in_use();

}  // namespace orv::cli
