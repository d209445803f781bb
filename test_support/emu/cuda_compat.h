// Just enough of the CUDA device language for the kernel source to compile as
// ordinary C++ and run on the emulator's fibers (test code, never shipped).
#pragma once

#include <atomic>
#include <cmath>
#include <stdlib.h>

#include "test_support/emu/launcher.h"

#define __global__
#define __device__
#define __host__
#define __forceinline__ inline

// A block-shared array becomes a pointer into the running block's region.
#define ORV_SHARED(type, name, count)                                                 \
    static const ::orv::emu::SharedSite name##_site(sizeof(type) * (count), #name); \
    type* const name = static_cast<type*>(name##_site.base())

struct uint3 {
    unsigned x, y, z;
};
using dim3 = ::orv::Dim3;

struct alignas(4) uchar4 {
    unsigned char x, y, z, w;
};

inline uchar4 make_uchar4(unsigned char x, unsigned char y, unsigned char z, unsigned char w) {
    return uchar4{x, y, z, w};
}

// Set by the launcher for the fiber that runs.
extern thread_local uint3 threadIdx;
extern thread_local uint3 blockIdx;
extern thread_local dim3 blockDim;
extern thread_local dim3 gridDim;

inline void __syncthreads() { ::orv::emu::barrier(); }

// Read-only data cache loads are plain loads here.
template <class T>
inline T __ldg(const T* p) {
    return *p;
}

// One rounding, as the device's fused multiply-add.
inline float __fmaf_rn(float a, float b, float c) { return std::fma(a, b, c); }

// Fibers of a launch share one OS thread, but a launch may run beside other
// launches on other threads, so the additions stay atomic. Like CUDA, they
// return the old value.
template <class T>
inline T atomicAdd(T* address, T value) {
    return std::atomic_ref<T>(*address).fetch_add(value);
}
