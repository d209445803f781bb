// The module's own DLL handle (the system's HINSTANCE for it), kept at
// process attach. The dialog needs it to find its template among the
// module's resources.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv {

#ifdef _WIN32
using DllHandle = HINSTANCE;
#else
using DllHandle = void*;  // a Linux host has no use for it
#endif

// Null until the system has attached the module to the process.
DllHandle dll_handle() noexcept;
void keep_dll_handle(DllHandle handle) noexcept;

}  // namespace orv
