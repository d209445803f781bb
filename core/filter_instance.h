// The per-instance record. The host allocates it (inst_data_size bytes,
// zeroed before initProc) and copies instances: through copyProc2 or
// copyProc where the filter has them, by their bytes where a host knows
// neither. A copy by bytes carries the original's resource pointers, so
// the record remembers its own address beside them (`owner`): a record at
// another address holds none of its own. It must stay a plain record with
// no construction, destruction or hidden members.
#pragma once

#include <cstdint>
#include <type_traits>

struct IFilterPreview;

namespace orv {

struct GpuContext;
namespace kernels {
class LineRing;
}

// Which route the instance's last frame took, for hosts that report it.
enum FrameRoute : int32_t { kRoutePassThrough = 0, kRouteCpu = 1, kRouteGpu = 2 };

struct FilterInstance {
    IFilterPreview* preview;
    int32_t f1;
    int32_t f2;
    int32_t savedF1;
    int32_t savedF2;
    int32_t sharp;
    int32_t savedSharp;
    int32_t disable;
    int32_t showNoise;
    int32_t threadCount;
    int32_t interlace;
    int32_t savedInterlace;
    int32_t multithreading;
    int32_t savedMultithreading;
    uint8_t* lumaPlane;
    int32_t lumaPlaneSize;
    int32_t autoProfile;
    int32_t savedAutoProfile;
    float noiseSigma;
    GpuContext* gpu;
    // Set by every run; a FrameRoute.
    int32_t lastRoute;
    // The address of the record that took lumaPlane, lineRing, gpu and
    // preview; anything else means they belong to the record this one was
    // copied from.
    FilterInstance* owner;
    // The fast route's 16-bit lines, made at start with the plane.
    kernels::LineRing* lineRing;
    // Why the last frame left the GPU route with a context there: the first
    // driver call that failed (a static name, null when none) and its status.
    const char* gpuDeclineCall;
    int32_t gpuDeclineStatus;
};

static_assert(std::is_trivially_copyable_v<FilterInstance>);
static_assert(std::is_standard_layout_v<FilterInstance>);

}  // namespace orv
