// The module's two exported entries, through which the host registers the
// filter and takes it back.
#include "gpu/context_pool.h"
#include "host/filter_definition.h"
#include "host/guarded.h"
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
