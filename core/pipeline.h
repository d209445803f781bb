// The frame pipeline: the host's start, run and end callbacks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/filter_instance.h"

struct FilterActivation;
struct FilterFunctions;
struct VFBitmap;

namespace orv {

int startProc(FilterActivation* fa, const FilterFunctions* ff);
int runProc(const FilterActivation* fa, const FilterFunctions* ff);
int endProc(FilterActivation* fa, const FilterFunctions* ff);

// A host frame reduced to what the row walk needs.
struct FrameView {
    uint8_t* data;  // row 0
    ptrdiff_t pitch;
    int32_t w;
    int32_t h;
};

// The frame's lowest-addressed row: every transfer starts there and steps by
// |pitch|, so all routes see a frame with a negative pitch in one row order.
uint8_t* lowest_row(const FrameView& f);

// Copies h rows of w*4 bytes in address order between two walks. A packed
// buffer is a FrameView with pitch w*4.
void copy_rows(const FrameView& from, const FrameView& to, int32_t w, int32_t h);

// Brings the luma plane to w*h bytes. False when it can't be made (including a
// size that doesn't fit lumaPlaneSize); the old plane is then gone too.
bool ensure_luma_plane(FilterInstance& fi, int32_t w, int32_t h);

// The CPU route on one frame. Returns 0, or non-zero when memory ran out, in
// which case the destination is untouched.
int run_cpu_route(FilterInstance& fi, const FrameView& src, const FrameView& dst);

}  // namespace orv
