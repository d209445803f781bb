// The kernel source, compiled as C++ against the compatibility header.
#include "test_support/emu/cuda_compat.h"
#include "gpu/orv_cuda.cu"
// The rest of this file is the emulator's side.
#include "test_support/emu/orv_cuda_emu.h"

#include <cstring>
#include <type_traits>
#include <utility>

namespace orv::emu {
namespace {

// The device names in gpu/kernels.h encode these parameter lists, and its
// parameter records lay them out; a change of either kernel's signature must
// change both there.
static_assert(std::is_same_v<decltype(&orv_kernel<16, 16>),
                             void (*)(const unsigned char*, unsigned long long, unsigned char*, unsigned long long,
                                      int, int, int, int, int, int, int)>);
static_assert(std::is_same_v<decltype(&orv_profile_sigma_kernel),
                             void (*)(const unsigned char*, unsigned long long, int, int, unsigned long long*,
                                      unsigned int*)>);

template <class... Param, size_t... I>
bool launch_unpacked(void (*kernel)(Param...), Dim3 grid, Dim3 block, void** params, const Checks& checks,
                     Report* report, std::index_sequence<I...>) {
    return launch(kernel, grid, block, checks, report, *static_cast<Param*>(params[I])...);
}

template <class... Param>
bool launch_from_params(void (*kernel)(Param...), Dim3 grid, Dim3 block, void** params, const Checks& checks,
                        Report* report) {
    bool complete = params != nullptr;
    for (size_t i = 0; complete && i < sizeof...(Param); ++i) complete = params[i] != nullptr;
    if (!complete) {
        if (report) *report = Report{Status::BadConfiguration, {}, 0, 0};
        return false;
    }
    return launch_unpacked(kernel, grid, block, params, checks, report, std::index_sequence_for<Param...>{});
}

struct KernelEntry {
    const char* name;
    bool (*launch)(Dim3, Dim3, void**, const Checks&, Report*);
};

const KernelEntry kKernels[] = {
    {kDenoiseKernelName,
     [](Dim3 g, Dim3 b, void** p, const Checks& c, Report* r) {
         return launch_from_params(&orv_kernel<16, 16>, g, b, p, c, r);
     }},
    {kProfileKernelName,
     [](Dim3 g, Dim3 b, void** p, const Checks& c, Report* r) {
         return launch_from_params(&orv_profile_sigma_kernel, g, b, p, c, r);
     }},
};

const KernelEntry* find_kernel(const char* name) {
    if (!name) return nullptr;
    for (const KernelEntry& k : kKernels)
        if (std::strcmp(k.name, name) == 0) return &k;
    return nullptr;
}

uchar4 to_uchar4(uint32_t word) {
    return make_uchar4(static_cast<unsigned char>(word), static_cast<unsigned char>(word >> 8),
                       static_cast<unsigned char>(word >> 16), static_cast<unsigned char>(word >> 24));
}

}  // namespace

bool has_kernel(const char* deviceName) { return find_kernel(deviceName) != nullptr; }

bool launch_by_name(const char* deviceName, Dim3 grid, Dim3 block, void** kernelParams, const Checks& checks,
                    Report* report) {
    const KernelEntry* k = find_kernel(deviceName);
    if (!k) {
        if (report) *report = Report{Status::UnknownKernel, {}, 0, 0};
        return false;
    }
    return k->launch(grid, block, kernelParams, checks, report);
}

bool launch_by_name(const char* deviceName, Dim3 grid, Dim3 block, void** kernelParams, Report* report) {
    return launch_by_name(deviceName, grid, block, kernelParams, Checks{}, report);
}

Dim3 denoise_grid(int width, int height) {
    return Dim3{static_cast<unsigned>((width + 15) / 16), static_cast<unsigned>((height + 15) / 16), 1};
}

Dim3 profile_grid(int width, int height) {
    return Dim3{static_cast<unsigned>((width + 127) / 128), static_cast<unsigned>((height + 127) / 128), 1};
}

uint32_t device_rebuild(uint32_t word, int32_t S) {
    const uchar4 out = rebuild_bgrx(to_uchar4(word), S);
    return static_cast<uint32_t>(out.x) | static_cast<uint32_t>(out.y) << 8 | static_cast<uint32_t>(out.z) << 16 |
           static_cast<uint32_t>(out.w) << 24;
}

int device_luma(uint32_t word) { return luma_from_bgrx(to_uchar4(word)); }

}  // namespace orv::emu
