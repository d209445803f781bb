// The NVIDIA driver behind the device operations: found and brought up at
// the first operation, with the module's GPU code loaded into it.
#pragma once

#include "gpu/device_ops.h"
#include "gpu/driver_loader.h"

namespace orv::cuda {

struct Driver {
    const CudaFunctions* fn;
    CUcontext context;  // the primary context of device 0
    CUfunction kernels[2];  // by Kernel
};

// The driver, brought up on the first call of the module's life, once, whichever
// thread comes first. Returns kSuccess and sets *driver, or the status that
// every operation then returns: kNotSupported when there is no driver
// library or no GPU code in the module, else the driver's own (also when the
// driver cannot load the module's GPU code).
Status driver_get(const Driver** driver) noexcept;

}  // namespace orv::cuda
