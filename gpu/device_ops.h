// The device operations of the GPU route, standing on the NVIDIA driver that
// is looked for at run time (gpu/cuda_driver.h): streams, device memory,
// queued copies and launches. The module links no CUDA library: without a
// driver, or without GPU code in the module, every operation returns
// kNotSupported and does nothing. Statuses are the driver's own numbers.
//
// Every operation makes the driver's primary context of device 0 current on
// the calling thread for its own duration only, so a host may call from any
// thread. None of them throws.
#pragma once

#include <cstddef>

#include "gpu/kernels.h"

namespace orv::cuda {

using Status = int;
inline constexpr Status kSuccess = 0;
inline constexpr Status kNotSupported = 801;

// The driver's stream handle, opaque here.
using Stream = struct OrvCudaStream*;
inline constexpr unsigned kNonBlockingStream = 1;

enum CopyDirection { kHostToDevice = 1, kDeviceToHost = 2 };

Status create_stream(Stream* stream, unsigned flags) noexcept;
// widthBytes by height, each row starting at a multiple of *pitch.
Status alloc_rows(void** devPtr, size_t* pitch, size_t widthBytes, size_t height) noexcept;
Status alloc_bytes(void** devPtr, size_t size) noexcept;
Status free_device_memory(void* devPtr) noexcept;
// Copies queued on the stream: rows of widthBytes at their pitches, or bytes.
Status queue_copy_rows(void* dst, size_t dpitch, const void* src, size_t spitch, size_t widthBytes, size_t height,
                       CopyDirection kind, Stream stream) noexcept;
Status queue_copy_bytes(void* dst, const void* src, size_t count, CopyDirection kind, Stream stream) noexcept;
// args holds one pointer per kernel parameter, pointing at its value. The
// status is also kept for take_launch_status.
Status queue_launch(Kernel kernel, Dim3 grid, Dim3 block, void** args, size_t sharedMem, Stream stream) noexcept;
// The status of this thread's last launch, which it then forgets.
Status take_launch_status() noexcept;
Status wait_stream(Stream stream) noexcept;

// The first driver call that failed on this thread since the last take
// (`call` null when none did), which it then forgets.
struct Failure {
    const char* call;
    Status status;
};
Failure take_first_failure() noexcept;
Status destroy_stream(Stream stream) noexcept;

}  // namespace orv::cuda
