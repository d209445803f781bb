// The GPU route: the three steps that the host's start, run and end callbacks
// take for it. It needs only the core's instance record and frame view, never
// the CPU route; the host chooses between the two.
#pragma once

#include <cstdint>

#include "core/filter_instance.h"
#include "core/frame_geometry.h"

namespace orv {

// At start: takes the instance a GpuContext (an idle one where there is one,
// gpu/context_pool.h) and sizes its buffers for the source frame. Without a driver or a device the instance keeps no context and
// works on the CPU.
void gpu_route_start(FilterInstance& fi, int32_t w, int32_t h) noexcept;

// One frame: the noise profile and adaptation when autoProfile is on, then the
// GPU denoise with the adapted settings. True when the destination holds the
// result; false (no context, or any GPU failure) leaves the frame to the CPU
// route, with a destination that shares memory with the source untouched.
// noiseSigma keeps a successful profile's update either way.
bool gpu_route_run(FilterInstance& fi, const FrameView& src, const FrameView& dst) noexcept;

// The same with the frame's noiseSigma given rather than measured here: a
// host that takes frames in any order folds the profiles of a window of
// frames itself (windowed_sigma, gpu/noise_rules.h). The instance's own
// noiseSigma is left alone.
bool gpu_route_run_estimated(FilterInstance& fi, float noiseSigma, const FrameView& src,
                             const FrameView& dst) noexcept;

// At end: hands the context back to the pool of idle ones.
void gpu_route_end(FilterInstance& fi) noexcept;

}  // namespace orv
