// The module's exported entries: the two through which the host registers
// the filter and takes it back, and on Linux the contract that orv checks
// (host/module_contract.h).
#include "core/fast_route.h"
#include "core/instance_layout.h"
#include "gpu/context_pool.h"
#include "host/callbacks.h"
#include "host/filter_definition.h"
#include "host/guarded.h"
#include "host/module_contract.h"
#include "host/vd_interface.h"

#ifdef _WIN32
#define ORV_MODULE_ENTRY  // the export list is ORV_CUDA.def
#else
#define ORV_MODULE_ENTRY __attribute__((visibility("default")))
#endif

namespace {

// What the host's addFilter returned; the host wants exactly this back.
FilterDefinition* registeredFilter = nullptr;

}  // namespace

extern "C" ORV_MODULE_ENTRY int VirtualdubFilterModuleInit2(FilterModule* module, const FilterFunctions* ff,
                                                            int& version, int& compatibleVersion) noexcept {
    // The host's answer is kept untested: there is nothing the module could do
    // about a refusal, and the deinit entry hands it back as it came.
    const bool ok = orv::guarded(false, [&] {
        if (ff == nullptr || ff->addFilter == nullptr) return false;
        registeredFilter = ff->addFilter(module, &orv::filterDefinition, kFilterDefinitionSize);
        return true;
    });
    version = kFilterInterfaceVersion;
    compatibleVersion = kFilterInterfaceCompatibleVersion;
    return ok ? 0 : 1;
}

extern "C" ORV_MODULE_ENTRY void VirtualdubFilterModuleDeinit(FilterModule*, const FilterFunctions* ff) noexcept {
    orv::guarded([&] {
        if (ff != nullptr && ff->removeFilter != nullptr) ff->removeFilter(registeredFilter);
    });
    // The last word a host says before it unloads the module (AviSynth+ says
    // it when its last script using the module closes): the idle GPU
    // contexts go with it. Contexts still in started instances stay theirs.
    orv::gpu_context_pool_drain();
}

#ifndef _WIN32
namespace {

const char* kernel_set() noexcept { return orv::best_kernel_set().name; }

constexpr ModuleContract kContract{orv::record_layout<orv::FilterInstance>(), orv::parallel_safe, kernel_set};

}  // namespace

extern "C" ORV_MODULE_ENTRY const ModuleContract* orv_module_contract() noexcept { return &kContract; }
#endif
