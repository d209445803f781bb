// The reference route: the CPU denoise of one host frame through packed
// scratch copies, plain enough to be the measure of every faster route.
#pragma once

#include <cstdint>

#include "core/filter_instance.h"
#include "core/frame_geometry.h"

namespace orv {

// Brings the luma plane to w*h bytes. False when it can't be made (including a
// size that doesn't fit lumaPlaneSize); the old plane is then gone too.
bool ensure_luma_plane(FilterInstance& fi, int32_t w, int32_t h);
void release_luma_plane(FilterInstance& fi);

// One frame. Returns 0, or non-zero when memory ran out, in which case the
// destination is untouched.
int run_reference_route(FilterInstance& fi, const FrameView& src, const FrameView& dst);

}  // namespace orv
