// The per-instance record. The host allocates it (inst_data_size bytes, not
// zeroed) and may copy its bytes to make another instance, so it must stay a
// plain record with no construction, destruction or hidden members.
#pragma once

#include <cstdint>
#include <type_traits>

struct IFilterPreview;

namespace orv {

struct GpuContext;

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
};

static_assert(std::is_trivially_copyable_v<FilterInstance>);
static_assert(std::is_standard_layout_v<FilterInstance>);

}  // namespace orv
