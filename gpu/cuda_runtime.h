// The CUDA runtime operations that the GPU route uses, under the runtime's
// names and status rules, standing on the NVIDIA driver that is looked for at
// run time (gpu/cuda_driver.h). The module links no CUDA library: without a
// driver, or without GPU code in the module, every operation returns
// cudaErrorNotSupported and does nothing.
//
// Every operation makes the driver's primary context of device 0 current on
// the calling thread for its own duration only, so a host may call from any
// thread. None of them throws.
#pragma once

#include <cstddef>

#include "gpu/kernels.h"

namespace orv::cuda {

using cudaError_t = int;
inline constexpr cudaError_t cudaSuccess = 0;
inline constexpr cudaError_t cudaErrorNotSupported = 801;

// The driver's stream handle, opaque here.
using cudaStream_t = struct OrvCudaStream*;
inline constexpr unsigned cudaStreamNonBlocking = 1;

enum cudaMemcpyKind { cudaMemcpyHostToDevice = 1, cudaMemcpyDeviceToHost = 2 };

cudaError_t cudaStreamCreateWithFlags(cudaStream_t* stream, unsigned flags) noexcept;
// widthBytes by height, each row starting at a multiple of *pitch.
cudaError_t cudaMallocPitch(void** devPtr, size_t* pitch, size_t widthBytes, size_t height) noexcept;
cudaError_t cudaMalloc(void** devPtr, size_t size) noexcept;
cudaError_t cudaFree(void* devPtr) noexcept;
cudaError_t cudaMemcpy2DAsync(void* dst, size_t dpitch, const void* src, size_t spitch, size_t widthBytes,
                              size_t height, cudaMemcpyKind kind, cudaStream_t stream) noexcept;
cudaError_t cudaMemcpyAsync(void* dst, const void* src, size_t count, cudaMemcpyKind kind,
                            cudaStream_t stream) noexcept;
// args holds one pointer per kernel parameter, pointing at its value. The
// status is also kept for cudaGetLastError.
cudaError_t cudaLaunchKernel(Kernel kernel, Dim3 grid, Dim3 block, void** args, size_t sharedMem,
                             cudaStream_t stream) noexcept;
// The status of this thread's last launch, which it then forgets.
cudaError_t cudaGetLastError() noexcept;
cudaError_t cudaStreamSynchronize(cudaStream_t stream) noexcept;
cudaError_t cudaStreamDestroy(cudaStream_t stream) noexcept;

}  // namespace orv::cuda
