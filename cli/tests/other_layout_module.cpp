// A filter module whose instance record is orv's with two fields swapped:
// the same size, another layout. orv must refuse it before calling it.
// Built again with ORV_NO_CONTRACT, it is a module that says nothing of its
// record at all (as a VirtualDub-only build would), which orv refuses too.
#include "core/instance_layout.h"
#include "host/module_contract.h"
#include "host/vd_interface.h"

namespace {

struct Swapped {
    IFilterPreview* preview;
    int32_t f2;  // f1 and f2 change places
    int32_t f1;
    int32_t savedF1, savedF2, sharp, savedSharp, disable, showNoise, threadCount, interlace, savedInterlace;
    int32_t multithreading, savedMultithreading;
    uint8_t* lumaPlane;
    int32_t lumaPlaneSize, autoProfile, savedAutoProfile;
    float noiseSigma;
    orv::GpuContext* gpu;
    int32_t lastRoute;
    orv::FilterInstance* owner;
    orv::kernels::LineRing* lineRing;
    const char* gpuDeclineCall;
    int32_t gpuDeclineStatus;
};
static_assert(sizeof(Swapped) == sizeof(orv::FilterInstance));

}  // namespace

#ifndef ORV_NO_CONTRACT
namespace {

int32_t never_parallel(const void*) noexcept { return 0; }
const char* no_kernels() noexcept { return "none"; }
constexpr ModuleContract kContract{orv::record_layout<Swapped>(), never_parallel, no_kernels};

}  // namespace

extern "C" __attribute__((visibility("default"))) const ModuleContract* orv_module_contract() noexcept {
    return &kContract;
}
#endif

// Registers nothing: a host that got this far has already failed.
extern "C" __attribute__((visibility("default"))) int VirtualdubFilterModuleInit2(FilterModule*, const FilterFunctions*,
                                                                                 int&, int&) {
    return 1;
}
extern "C" __attribute__((visibility("default"))) void VirtualdubFilterModuleDeinit(FilterModule*, const FilterFunctions*) {}
