// The filter's kernels on the CPU emulator (test code, never shipped): the
// kernel source gpu/orv_cuda.cu compiled as C++, looked up by the device
// names under which the fat binary holds them, and launched with a CUDA
// driver style parameter array.
#pragma once

#include <cstdint>

#include "gpu/kernels.h"
#include "test_support/emu/launcher.h"

namespace orv::emu {

inline constexpr const char* kDenoiseKernelName = kernel_name(Kernel::Denoise);
inline constexpr const char* kProfileKernelName = kernel_name(Kernel::ProfileSigma);

bool has_kernel(const char* deviceName);

// Runs the kernel of that device name over the grid. kernelParams holds one
// pointer per kernel parameter, pointing at the value, in the kernel's order
// (the cuLaunchKernel convention). report (may be null) says why a false
// result came: an unknown name, a bad grid/block or missing parameters, or a
// thread that broke a rule.
bool launch_by_name(const char* deviceName, Dim3 grid, Dim3 block, void** kernelParams, const Checks& checks,
                    Report* report);
bool launch_by_name(const char* deviceName, Dim3 grid, Dim3 block, void** kernelParams, Report* report);

// The kernels' own launch shapes for a frame.
Dim3 denoise_grid(int width, int height);
Dim3 profile_grid(int width, int height);
inline constexpr Dim3 kBlock{16, 16, 1};

// Device functions of the kernel source, called directly on the CPU. Words
// are XRGB (blue in the low byte), as the bytes blue, green, red, top lie in
// device memory on a little-endian machine.
uint32_t device_rebuild(uint32_t word, int32_t S);
int device_luma(uint32_t word);

}  // namespace orv::emu
