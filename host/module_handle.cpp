#include "host/module_handle.h"

namespace orv {

namespace {
DllHandle dllHandle = nullptr;
}

DllHandle dll_handle() noexcept { return dllHandle; }

void keep_dll_handle(DllHandle handle) noexcept { dllHandle = handle; }

}  // namespace orv
