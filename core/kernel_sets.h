// The table of kernel sets: each set's name, the processor feature it needs
// and its kernels, slowest first. The dispatch, the benchmark and the tests
// all read it; a set is one unit in core/simd/ and one row in
// core/kernel_sets.def.
#pragma once

#include <span>

#include "core/cpu_features.h"
#include "core/row_kernels.h"

namespace orv {

struct KernelSet {
    const char* name;
    bool CpuFeatures::*needs;  // the feature that says a processor runs the set
    kernels::RowKernels kernels;
};

std::span<const KernelSet> kernel_sets();

}  // namespace orv
