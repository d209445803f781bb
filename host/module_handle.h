// The module's own instance handle, kept at process attach. The dialog needs
// it to find its template among the module's resources.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv {

#ifdef _WIN32
using ModuleInstance = HINSTANCE;
#else
using ModuleInstance = void*;  // a Linux host has no use for it
#endif

// Null until the system has attached the module to the process.
ModuleInstance module_instance() noexcept;
void keep_module_instance(ModuleInstance instance) noexcept;

}  // namespace orv
