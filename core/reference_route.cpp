#include "core/reference_route.h"

#include <cstdlib>
#include <limits>

#include "core/colour.h"
#include "core/denoise.h"

namespace orv {

namespace {

// w*h in 64 bits; negative dimensions describe no pixels.
int64_t pixel_count(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return 0;
    return static_cast<int64_t>(w) * h;
}

}  // namespace

void release_luma_plane(FilterInstance& fi) {
    std::free(fi.lumaPlane);
    fi.lumaPlane = nullptr;
    fi.lumaPlaneSize = 0;
}

bool ensure_luma_plane(FilterInstance& fi, int32_t w, int32_t h) {
    if (w < 0 || h < 0) return false;
    const int64_t n = static_cast<int64_t>(w) * h;
    if (n > std::numeric_limits<int32_t>::max()) return false;
    if (fi.lumaPlaneSize == n && (fi.lumaPlane != nullptr || n == 0)) return true;
    release_luma_plane(fi);
    if (n == 0) return true;
    fi.lumaPlane = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(n), 1));
    if (fi.lumaPlane == nullptr) return false;
    fi.lumaPlaneSize = static_cast<int32_t>(n);
    return true;
}

int run_reference_route(FilterInstance& fi, const FrameView& src, const FrameView& dst) {
    const int32_t w = src.w, h = src.h;
    const int64_t n = pixel_count(w, h);
    // A frame of another size than at start must not overflow the plane.
    if (!ensure_luma_plane(fi, n == 0 ? 0 : w, n == 0 ? 0 : h)) return 1;
    uint32_t* srcScratch = nullptr;
    uint32_t* dstScratch = nullptr;
    if (n > 0) {
        srcScratch = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(n), 4));
        dstScratch = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(n), 4));
        if (srcScratch == nullptr || dstScratch == nullptr) {
            std::free(srcScratch);
            std::free(dstScratch);
            return 1;
        }
    }
    const ptrdiff_t packedPitch = static_cast<ptrdiff_t>(w > 0 ? w : 0) * 4;
    copy_rows(src, FrameView{reinterpret_cast<uint8_t*>(srcScratch), packedPitch, w, h}, w, h);
    build_luma_plane(srcScratch, n, fi.lumaPlane);
    const DenoiseJob job{srcScratch, dstScratch, fi.f1, fi.f2, fi.sharp, fi.interlace, h, w, &fi};
    denoise_cpu(job);
    copy_rows(FrameView{reinterpret_cast<uint8_t*>(dstScratch), packedPitch, w, h}, dst, w, h);
    std::free(srcScratch);
    std::free(dstScratch);
    return 0;
}

}  // namespace orv
