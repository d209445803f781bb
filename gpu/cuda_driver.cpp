#include "gpu/cuda_driver.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "gpu/fatbin.h"

namespace orv::cuda {

namespace {

// The module's GPU code, registered when the module is loaded: constant data
// pointing at the embedded fat binary, which needs no driver. The driver
// receives it at the first operation.
struct Registration {
    const unsigned char* image;
    const size_t* size;
};

struct State {
    std::atomic<bool> tried{false};
    Status status = kSuccess;  // of the bring-up, once tried
    CudaFunctions* fn = nullptr;
    CUdevice device = 0;
    CUmodule module = nullptr;
    Driver driver{};
};

constinit Registration registration{orv_fatbin, &orv_fatbin_size};
constinit State state;
// Instances may start on several threads at once; one of them brings the
// driver up while the others wait.
std::mutex bringUpLock;

// Loads the GPU code into the primary context and finds both kernels.
Status load_gpu_code(Driver& d, CUmodule* module) {
    const CudaFunctions& fn = *d.fn;
    Status s = fn.cuCtxPushCurrent(d.context);
    if (s != kSuccess) return s;
    s = fn.cuModuleLoadData(module, registration.image);
    for (int k = 0; k < 2 && s == kSuccess; ++k) s = fn.cuModuleGetFunction(&d.kernels[k], *module, kKernelNames[k]);
    if (s != kSuccess && *module != nullptr) {
        fn.cuModuleUnload(*module);
        *module = nullptr;
    }
    CUcontext popped = nullptr;
    fn.cuCtxPopCurrent(&popped);
    return s;
}

#ifndef _WIN32
// Unregisters the GPU code and lets go of the driver when the module leaves
// the process. glibc runs a handler that a shared library registers with
// atexit when that library is unloaded, or at exit if that comes first. It is
// registered after the driver library was loaded, so at exit it runs before
// the driver's own exit handlers, while the driver still works.
//
// Windows has no such moment: the only notice is the DLL detach, which runs
// under the loader lock, where calling into the driver (which has threads of
// its own) or freeing a library can deadlock, and at process exit the driver
// may be gone already. There the module leaves the code, the context and the
// library to the process's end, which releases them.
void unload_at_module_exit() {
    std::lock_guard<std::mutex> lock(bringUpLock);
    if (state.fn != nullptr) {
        const CudaFunctions& fn = *state.fn;
        if (state.module != nullptr && fn.cuCtxPushCurrent(state.driver.context) == kSuccess) {
            fn.cuModuleUnload(state.module);
            CUcontext popped = nullptr;
            fn.cuCtxPopCurrent(&popped);
        }
        fn.cuDevicePrimaryCtxRelease(state.device);
        cuda_free_functions(&state.fn);
    }
    state.module = nullptr;
    state.driver = Driver{};
    state.status = kNotSupported;
    registration = Registration{nullptr, nullptr};
}
#endif

void bring_up() {
    state.status = kNotSupported;
    if (registration.image == nullptr || registration.size == nullptr || *registration.size == 0) return;
    CudaFunctions* fn = nullptr;
    if (cuda_load_functions(&fn, nullptr) != 0) return;  // no driver; the loader has cleaned up

    CUdevice device = 0;
    CUcontext context = nullptr;
    Status s = fn->cuInit(0);
    if (s == kSuccess) s = fn->cuDeviceGet(&device, 0);
    if (s == kSuccess) s = fn->cuDevicePrimaryCtxRetain(&context, device);
    if (s != kSuccess) {
        cuda_free_functions(&fn);
        state.status = s;
        return;
    }
    // A driver that cannot take the module's code (a GPU older than any
    // architecture in it, a driver too old for its PTX) could run no kernel:
    // it gives no context, so that no instance makes a stream or device
    // frames, nor uploads a frame only to have its launch fail.
    Driver driver{fn, context, {nullptr, nullptr}};
    s = load_gpu_code(driver, &state.module);
    if (s != kSuccess) {
        fn->cuDevicePrimaryCtxRelease(device);
        cuda_free_functions(&fn);
        state.status = s;
        return;
    }
    state.fn = fn;
    state.device = device;
    state.driver = driver;
    state.status = kSuccess;
#ifndef _WIN32
    std::atexit(unload_at_module_exit);
#endif
}

}  // namespace

Status driver_get(const Driver** driver) noexcept {
    if (!state.tried.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> lock(bringUpLock);
        if (!state.tried.load(std::memory_order_relaxed)) {
            bring_up();
            state.tried.store(true, std::memory_order_release);
        }
    }
    if (state.status != kSuccess) return state.status;
    *driver = &state.driver;
    return kSuccess;
}

}  // namespace orv::cuda
