#include "core/kernel_sets.h"

namespace orv {

namespace {

#define ORV_KERNEL_SET(name, feature, flags)                                                                    \
    KernelSet{#name, &CpuFeatures::feature,                                                                     \
              {kernels::luma_row_##name, kernels::corrections_row_##name, kernels::rebuild_row_##name,         \
               kernels::denoise_row_##name, true,      \
               kernels::corrections_wide_row_##name}},
constexpr KernelSet kSets[] = {
    KernelSet{"reference", &CpuFeatures::baseline,
              {kernels::luma_row_reference, kernels::corrections_row_reference, kernels::rebuild_row_reference,
               kernels::denoise_row_reference, false, kernels::corrections_wide_row_reference}},
#include "core/kernel_sets.def"
};
#undef ORV_KERNEL_SET

}  // namespace

std::span<const KernelSet> kernel_sets() { return kSets; }

}  // namespace orv
