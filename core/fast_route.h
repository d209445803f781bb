// The fast CPU route: the reference route's results, bit for bit, without its
// scratch frames and with kernels for the instruction sets the processor has.
#pragma once

#include <cstdint>

#include "core/filter_instance.h"
#include "core/reference_route.h"
#include "core/row_kernels.h"

namespace orv {

bool cpu_variant_runs_here(CpuVariant v);
// The fastest variant this processor runs (asked of CPUID once).
CpuVariant best_cpu_variant();
const char* cpu_variant_name(CpuVariant v);
// The last-level cache's size in bytes, 0 when unknown. Frames larger than it
// are written with non-temporal stores.
int64_t last_level_cache_bytes();

// The CPU route on one frame, as run_reference_route: the same destination bytes,
// the same plane, and the same return code. Rows are read from the source and
// written to the destination in place; a destination that shares memory with
// the source other than row for row goes to run_reference_route instead.
int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst);
// The same with the kernels chosen; a variant the processor lacks falls back to the reference set.
int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst, CpuVariant v);

}  // namespace orv
