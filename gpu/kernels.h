// The module's two kernels as a driver meets them: the names under which the
// fat binary holds them, and the parameters that a launch hands over. The
// driver layer, the kernel emulator and the build's check of the fat binary
// (gpu/cmake/build_fatbin.cmake reads the names below) all take them from here.
#pragma once

#include <array>

namespace orv {

enum class Kernel { Denoise, ProfileSigma };

// orv_kernel<16, 16> and orv_profile_sigma_kernel, mangled: the names encode
// the parameter lists below, so a change of either changes its name too.
inline constexpr const char* kKernelNames[2] = {
    "_Z10orv_kernelILi16ELi16EEvPKhyPhyiiiiiii",
    "_Z24orv_profile_sigma_kernelPKhyiiPyPj",
};

constexpr const char* kernel_name(Kernel k) { return kKernelNames[static_cast<int>(k)]; }

// A launch's grid or block shape.
struct Dim3 {
    unsigned x = 1, y = 1, z = 1;
};

// The parameters of each kernel, in its order. pointers() is what
// cuLaunchKernel takes: one pointer per parameter, at its value, valid while
// the record lives. kDevicePointers are the positions of device addresses.
struct DenoiseParams {
    const unsigned char* src;
    unsigned long long srcPitch;
    unsigned char* dst;
    unsigned long long dstPitch;
    int width, height, f1, f2, sharp, interlace, showNoise;

    std::array<void*, 11> pointers() {
        return {&src, &srcPitch, &dst, &dstPitch, &width, &height, &f1, &f2, &sharp, &interlace, &showNoise};
    }
    static constexpr std::array<int, 2> kDevicePointers{0, 2};
};

struct ProfileParams {
    const unsigned char* src;
    unsigned long long pitch;
    int width, height;
    unsigned long long* sum;
    unsigned int* count;

    std::array<void*, 6> pointers() { return {&src, &pitch, &width, &height, &sum, &count}; }
    static constexpr std::array<int, 3> kDevicePointers{0, 4, 5};
};

}  // namespace orv
