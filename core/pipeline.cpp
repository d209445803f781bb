#include "core/pipeline.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/colour.h"
#include "core/denoise.h"
#include "core/fast_route.h"
#include "gpu/gpu_route.h"
#include "host/vd_interface.h"

namespace orv {

namespace {

FilterInstance& instance_of(const FilterActivation* fa) {
    return *static_cast<FilterInstance*>(fa->filter_data);
}

FrameView view_of(const VFBitmap& b) {
    return FrameView{reinterpret_cast<uint8_t*>(b.data), b.pitch, b.w, b.h};
}

// w*h in 64 bits; negative dimensions describe no pixels.
int64_t pixel_count(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return 0;
    return static_cast<int64_t>(w) * h;
}

void release_luma_plane(FilterInstance& fi) {
    std::free(fi.lumaPlane);
    fi.lumaPlane = nullptr;
    fi.lumaPlaneSize = 0;
}

}  // namespace

uint8_t* lowest_row(const FrameView& f) {
    if (f.pitch >= 0 || f.h <= 0) return f.data;
    return f.data + static_cast<ptrdiff_t>(f.h - 1) * f.pitch;
}

void copy_rows(const FrameView& from, const FrameView& to, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return;
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    const uint8_t* s = lowest_row(FrameView{from.data, from.pitch, w, h});
    uint8_t* d = lowest_row(FrameView{to.data, to.pitch, w, h});
    const ptrdiff_t sStep = from.pitch < 0 ? -from.pitch : from.pitch;
    const ptrdiff_t dStep = to.pitch < 0 ? -to.pitch : to.pitch;
    for (int32_t i = 0; i < h; ++i) {
        // memmove: a host may hand the same buffer as source and destination.
        if (s != d) std::memmove(d, s, rowBytes);
        s += sStep;
        d += dStep;
    }
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

int run_cpu_route(FilterInstance& fi, const FrameView& src, const FrameView& dst) {
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

int startProc(FilterActivation* fa, const FilterFunctions*) {
    FilterInstance& fi = instance_of(fa);
    const VFBitmap& src = *fa->src;
    if (!ensure_luma_plane(fi, src.w, src.h)) return 1;
    gpu_route_start(fi, src.w, src.h);
    return 0;
}

int runProc(const FilterActivation* fa, const FilterFunctions*) {
    FilterInstance& fi = instance_of(fa);
    const FrameView src = view_of(*fa->src);
    const FrameView dst = view_of(*fa->dst);
    if (fi.disable != 0) {
        copy_rows(src, dst, src.w, src.h);
        fi.lastRoute = kRoutePassThrough;
        return 0;
    }
    if (gpu_route_run(fi, src, dst)) {
        fi.lastRoute = kRouteGpu;
        return 0;
    }
    fi.lastRoute = kRouteCpu;
    return run_cpu_route_fast(fi, src, dst);
}

int endProc(FilterActivation* fa, const FilterFunctions*) {
    FilterInstance& fi = instance_of(fa);
    release_luma_plane(fi);
    gpu_route_end(fi);
    return 0;
}

}  // namespace orv
