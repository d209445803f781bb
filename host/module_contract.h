// What the module tells a host of our own (orv) beyond VirtualDub's
// interface, through the entry kModuleContractEntry: the layout of the
// instance record, which such a host reads and sets directly, and what an
// instance's current route allows. Only the Linux module exports it; the
// Windows DLL exports VirtualDub's two entries and nothing else.
#pragma once

#include <cstdint>

struct ModuleContract {
    uint64_t recordLayout;  // orv::record_layout<FilterInstance>() of the module's build
    // Non-zero when instances on this instance's current route may run frames
    // side by side: the CPU route keeps nothing from frame to frame, the GPU
    // route carries its noise estimate.
    int32_t (*parallelSafe)(const void* instance) noexcept;
    // The kernel set the CPU route runs (a name from core/kernel_sets.def).
    const char* (*kernelSet)() noexcept;
};

using ModuleContractProc = const ModuleContract* (*)() noexcept;
inline constexpr char kModuleContractEntry[] = "orv_module_contract";
