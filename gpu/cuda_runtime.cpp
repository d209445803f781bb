#include "gpu/cuda_runtime.h"

#include <cstdint>

#include "gpu/cuda_driver.h"

namespace orv::cuda {

namespace {

// The status of the calling thread's last launch.
thread_local cudaError_t lastLaunchStatus = cudaSuccess;

CUdeviceptr device_address(const void* p) { return static_cast<CUdeviceptr>(reinterpret_cast<uintptr_t>(p)); }

void* device_pointer(CUdeviceptr d) { return reinterpret_cast<void*>(static_cast<uintptr_t>(d)); }

CUstream driver_stream(cudaStream_t s) { return reinterpret_cast<CUstream>(s); }

// Runs op(driver) with the primary context current on this thread, and puts
// back whatever was current before. A failure to make it current, or to put
// it back, fails the operation too.
template <class Op>
cudaError_t in_context(Op&& op) noexcept {
    const Driver* d = nullptr;
    cudaError_t s = driver_get(&d);
    if (s != cudaSuccess) return s;
    s = d->fn->cuCtxPushCurrent(d->context);
    if (s != cudaSuccess) return s;
    s = op(*d);
    CUcontext popped = nullptr;
    const cudaError_t popStatus = d->fn->cuCtxPopCurrent(&popped);
    return s != cudaSuccess ? s : popStatus;
}

}  // namespace

cudaError_t cudaStreamCreateWithFlags(cudaStream_t* stream, unsigned flags) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t {
        CUstream s = nullptr;
        const cudaError_t status = d.fn->cuStreamCreate(&s, flags);
        if (status == cudaSuccess) *stream = reinterpret_cast<cudaStream_t>(s);
        return status;
    });
}

cudaError_t cudaMallocPitch(void** devPtr, size_t* pitch, size_t widthBytes, size_t height) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t {
        CUdeviceptr p = 0;
        size_t rowPitch = 0;
        // Rows of 32-bit pixels: the element size that lets the driver pick
        // its pitch for the widest loads.
        const cudaError_t status = d.fn->cuMemAllocPitch(&p, &rowPitch, widthBytes, height, 4);
        if (status == cudaSuccess) {
            *devPtr = device_pointer(p);
            *pitch = rowPitch;
        }
        return status;
    });
}

cudaError_t cudaMalloc(void** devPtr, size_t size) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t {
        CUdeviceptr p = 0;
        const cudaError_t status = d.fn->cuMemAlloc(&p, size);
        if (status == cudaSuccess) *devPtr = device_pointer(p);
        return status;
    });
}

cudaError_t cudaFree(void* devPtr) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t { return d.fn->cuMemFree(device_address(devPtr)); });
}

cudaError_t cudaMemcpy2DAsync(void* dst, size_t dpitch, const void* src, size_t spitch, size_t widthBytes,
                              size_t height, cudaMemcpyKind kind, cudaStream_t stream) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t {
        CUDA_MEMCPY2D copy{};
        copy.WidthInBytes = widthBytes;
        copy.Height = height;
        copy.srcPitch = spitch;
        copy.dstPitch = dpitch;
        if (kind == cudaMemcpyHostToDevice) {
            copy.srcMemoryType = CU_MEMORYTYPE_HOST;
            copy.srcHost = src;
            copy.dstMemoryType = CU_MEMORYTYPE_DEVICE;
            copy.dstDevice = device_address(dst);
        } else {
            copy.srcMemoryType = CU_MEMORYTYPE_DEVICE;
            copy.srcDevice = device_address(src);
            copy.dstMemoryType = CU_MEMORYTYPE_HOST;
            copy.dstHost = dst;
        }
        return d.fn->cuMemcpy2DAsync(&copy, driver_stream(stream));
    });
}

cudaError_t cudaMemcpyAsync(void* dst, const void* src, size_t count, cudaMemcpyKind kind,
                            cudaStream_t stream) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t {
        if (kind == cudaMemcpyHostToDevice)
            return d.fn->cuMemcpyHtoDAsync(device_address(dst), src, count, driver_stream(stream));
        return d.fn->cuMemcpyDtoHAsync(dst, device_address(src), count, driver_stream(stream));
    });
}

cudaError_t cudaLaunchKernel(Kernel kernel, Dim3 grid, Dim3 block, void** args, size_t sharedMem,
                             cudaStream_t stream) noexcept {
    const cudaError_t status = in_context([&](const Driver& d) -> cudaError_t {
        return d.fn->cuLaunchKernel(d.kernels[static_cast<int>(kernel)], grid.x, grid.y, grid.z, block.x, block.y,
                                    block.z, static_cast<unsigned>(sharedMem), driver_stream(stream), args, nullptr);
    });
    lastLaunchStatus = status;
    return status;
}

cudaError_t cudaGetLastError() noexcept {
    const cudaError_t status = lastLaunchStatus;
    lastLaunchStatus = cudaSuccess;
    return status;
}

cudaError_t cudaStreamSynchronize(cudaStream_t stream) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t { return d.fn->cuStreamSynchronize(driver_stream(stream)); });
}

cudaError_t cudaStreamDestroy(cudaStream_t stream) noexcept {
    return in_context([&](const Driver& d) -> cudaError_t { return d.fn->cuStreamDestroy(driver_stream(stream)); });
}

}  // namespace orv::cuda
