#include "gpu/device_ops.h"

#include <cstdint>

#include "gpu/cuda_driver.h"

namespace orv::cuda {

namespace {

// The status of the calling thread's last launch.
thread_local Status lastLaunchStatus = kSuccess;
// The first driver call that failed on the calling thread since it was last
// taken: the reason a frame left the GPU route.
thread_local Failure firstFailure{nullptr, kSuccess};

Status noted(const char* call, Status s) noexcept {
    if (s != kSuccess && firstFailure.call == nullptr) firstFailure = Failure{call, s};
    return s;
}

CUdeviceptr device_address(const void* p) { return static_cast<CUdeviceptr>(reinterpret_cast<uintptr_t>(p)); }

void* device_pointer(CUdeviceptr d) { return reinterpret_cast<void*>(static_cast<uintptr_t>(d)); }

CUstream driver_stream(Stream s) { return reinterpret_cast<CUstream>(s); }

// Runs op(driver) with the primary context current on this thread, and puts
// back whatever was current before. A failure to make it current, or to put
// it back, fails the operation too.
template <class Op>
Status in_context(Op&& op) noexcept {
    const Driver* d = nullptr;
    Status s = noted("the driver", driver_get(&d));
    if (s != kSuccess) return s;
    s = noted("cuCtxPushCurrent", d->fn->cuCtxPushCurrent(d->context));
    if (s != kSuccess) return s;
    s = op(*d);
    CUcontext popped = nullptr;
    const Status popStatus = noted("cuCtxPopCurrent", d->fn->cuCtxPopCurrent(&popped));
    return s != kSuccess ? s : popStatus;
}

}  // namespace

Status create_stream(Stream* stream, unsigned flags) noexcept {
    return in_context([&](const Driver& d) -> Status {
        CUstream s = nullptr;
        const Status status = noted("cuStreamCreate", d.fn->cuStreamCreate(&s, flags));
        if (status == kSuccess) *stream = reinterpret_cast<Stream>(s);
        return status;
    });
}

Status alloc_rows(void** devPtr, size_t* pitch, size_t widthBytes, size_t height) noexcept {
    return in_context([&](const Driver& d) -> Status {
        CUdeviceptr p = 0;
        size_t rowPitch = 0;
        // Rows of 32-bit pixels: the element size that lets the driver pick
        // its pitch for the widest loads.
        const Status status = noted("cuMemAllocPitch", d.fn->cuMemAllocPitch(&p, &rowPitch, widthBytes, height, 4));
        if (status == kSuccess) {
            *devPtr = device_pointer(p);
            *pitch = rowPitch;
        }
        return status;
    });
}

Status alloc_bytes(void** devPtr, size_t size) noexcept {
    return in_context([&](const Driver& d) -> Status {
        CUdeviceptr p = 0;
        const Status status = noted("cuMemAlloc", d.fn->cuMemAlloc(&p, size));
        if (status == kSuccess) *devPtr = device_pointer(p);
        return status;
    });
}

Status free_device_memory(void* devPtr) noexcept {
    return in_context(
        [&](const Driver& d) -> Status { return noted("cuMemFree", d.fn->cuMemFree(device_address(devPtr))); });
}

Status queue_copy_rows(void* dst, size_t dpitch, const void* src, size_t spitch, size_t widthBytes, size_t height,
                       CopyDirection kind, Stream stream) noexcept {
    return in_context([&](const Driver& d) -> Status {
        CUDA_MEMCPY2D copy{};
        copy.WidthInBytes = widthBytes;
        copy.Height = height;
        copy.srcPitch = spitch;
        copy.dstPitch = dpitch;
        if (kind == kHostToDevice) {
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
        return noted("cuMemcpy2DAsync", d.fn->cuMemcpy2DAsync(&copy, driver_stream(stream)));
    });
}

Status queue_copy_bytes(void* dst, const void* src, size_t count, CopyDirection kind, Stream stream) noexcept {
    return in_context([&](const Driver& d) -> Status {
        if (kind == kHostToDevice)
            return noted("cuMemcpyHtoDAsync",
                         d.fn->cuMemcpyHtoDAsync(device_address(dst), src, count, driver_stream(stream)));
        return noted("cuMemcpyDtoHAsync",
                     d.fn->cuMemcpyDtoHAsync(dst, device_address(src), count, driver_stream(stream)));
    });
}

Status queue_launch(Kernel kernel, Dim3 grid, Dim3 block, void** args, size_t sharedMem, Stream stream) noexcept {
    const Status status = in_context([&](const Driver& d) -> Status {
        return noted("cuLaunchKernel", d.fn->cuLaunchKernel(d.kernels[static_cast<int>(kernel)], grid.x, grid.y, grid.z,
                                                            block.x, block.y, block.z, static_cast<unsigned>(sharedMem),
                                                            driver_stream(stream), args, nullptr));
    });
    lastLaunchStatus = status;
    return status;
}

Failure take_first_failure() noexcept {
    const Failure f = firstFailure;
    firstFailure = Failure{nullptr, kSuccess};
    return f;
}

Status take_launch_status() noexcept {
    const Status status = lastLaunchStatus;
    lastLaunchStatus = kSuccess;
    return status;
}

Status wait_stream(Stream stream) noexcept {
    return in_context([&](const Driver& d) -> Status {
        return noted("cuStreamSynchronize", d.fn->cuStreamSynchronize(driver_stream(stream)));
    });
}

Status destroy_stream(Stream stream) noexcept {
    return in_context([&](const Driver& d) -> Status {
        return noted("cuStreamDestroy", d.fn->cuStreamDestroy(driver_stream(stream)));
    });
}

}  // namespace orv::cuda
