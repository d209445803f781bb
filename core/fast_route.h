// The fast CPU route: the reference route's results, bit for bit, without its
// scratch frames and with kernels for the instruction sets the processor has.
#pragma once

#include <cstdint>

#include "core/denoise.h"
#include "core/filter_instance.h"
#include "core/reference_route.h"

namespace orv {

// The kernel sets, slowest first.
enum class CpuVariant { Scalar, Avx2, Avx512 };

inline constexpr CpuVariant kAllCpuVariants[] = {CpuVariant::Scalar, CpuVariant::Avx2, CpuVariant::Avx512};

bool cpu_variant_runs_here(CpuVariant v);
// The fastest variant this processor runs (asked of CPUID once).
CpuVariant best_cpu_variant();
const char* cpu_variant_name(CpuVariant v);

// The CPU route on one frame, as run_reference_route: the same destination bytes,
// the same plane, and the same return code. Rows are read from the source and
// written to the destination in place; a destination that shares memory with
// the source other than row for row goes to run_reference_route instead.
int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst);
// The same with the kernels chosen; a variant the processor lacks falls back to Scalar.
int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst, CpuVariant v);

// build_luma_plane and denoise_cpu on the chosen kernels, for comparing them.
void build_luma_plane_fast(CpuVariant v, const uint32_t* source, int64_t count, uint8_t* plane);
void denoise_cpu_fast(CpuVariant v, const DenoiseJob& job);
// rebuild_xrgb over arrays, with |S[k]| <= 32768 (a correction's range).
void rebuild_xrgb_fast(CpuVariant v, const uint32_t* words, const int32_t* S, int32_t count, bool showNoise,
                       uint32_t* out);

}  // namespace orv
