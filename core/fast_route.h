// The fast CPU route: the reference route's results, bit for bit, without its
// scratch frames and with kernels for the instruction sets the processor has.
#pragma once

#include <cstdint>

#include "core/filter_instance.h"
#include "core/kernel_sets.h"
#include "core/reference_route.h"

namespace orv {

bool runs_here(const KernelSet& set);
// The fastest set this processor runs at or below the set named `cap` (a
// name from core/kernel_sets.def, or "reference"); with no name, or one that
// names no set, the fastest of all.
const KernelSet& best_kernel_set(const char* cap);
// The same under the cap ORV_KERNEL_SET=NAME as it stood when the module
// loaded, which lets any machine run the sets of older processors. Both are
// read once, at load: CPUID and the environment.
const KernelSet& best_kernel_set();
// The last-level cache's size in bytes, 0 when unknown. Frames larger than it
// are written with non-temporal stores.
int64_t last_level_cache_bytes();

// The 16-bit lines the vector kernels read, for frames w pixels wide, kept in
// the instance: made at start, so that frames need no memory of their own
// (a frame of another width makes its own). False when they can't be made.
bool ensure_line_ring(FilterInstance& fi, int32_t w);
void release_line_ring(FilterInstance& fi);

// The CPU route on one frame, as run_reference_route: the same destination bytes,
// the same plane, and the same return code. Rows are read from the source and
// written to the destination in place; a destination that shares memory with
// the source other than row for row goes to run_reference_route instead.
int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst);
// The same with the kernels chosen; a set the processor lacks falls back to the reference set.
int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst, const KernelSet& set);

// For a host whose frames come in another form (planar rows): the route asks
// the host for source row i's words just before it first reads them (rows in
// order, each once), writes output row i over them, and hands them back as
// soon as they are done; the host converts each row while it is in the cache
// and needs no frame of words, only a ring of kHookRows rows: no more are
// ever out at once. Returns as run_fast_route; the instance's plane is not
// kept, only one row of it (the kernels that read 16-bit lines never read it).
// Frames in memory take the same loop, through hooks over their rows.
constexpr int32_t kHookRows = 32;
struct RowHooks {
    void* context;
    uint32_t* (*source)(void* context, int32_t row);
    void (*output)(void* context, int32_t row, const uint32_t* words);
};
int run_fast_route(FilterInstance& fi, int32_t w, int32_t h, const RowHooks& hooks);
int run_fast_route(FilterInstance& fi, int32_t w, int32_t h, const RowHooks& hooks, const KernelSet& set);

}  // namespace orv
