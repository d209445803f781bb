#include "host/callbacks.h"

#include "core/fast_route.h"
#include "core/filter_instance.h"
#include "core/frame_geometry.h"
#include "core/instance_copy.h"
#include "core/reference_route.h"
#include "core/settings.h"
#include "gpu/gpu_route.h"
#include "host/guarded.h"

// What the host does with the answers (VirtualDub 1.10.4 and VirtualDub2):
// - startProc's failure is an error the host shows; so everything the CPU
//   route needs is taken there, and a frame needs no memory of its own.
// - runProc's answer is ignored: whatever the destination holds is the
//   frame. A frame that can't be denoised (memory gone after all, a caught
//   exception) therefore goes out as it came in; the answer 1 is for hosts
//   of our own, which report it (orv fails the run).
// - the host's Except services raise C++ exceptions, which must not cross
//   our noexcept frames: the module never calls them.
// On a caught exception the script string is empty and fssProc answers
// false, so that the host saves no Config for the instance rather than a cut
// or stale one; the summary is empty.
//
// Every callback first claims the record's resources: a record the host
// copied by its bytes holds the original's pointers, which are not its own.

namespace orv {

namespace {

bool has_instance(const FilterActivation* fa) { return fa != nullptr && fa->filter_data != nullptr; }

bool has_frames(const FilterActivation* fa) {
    return has_instance(fa) && fa->src != nullptr && fa->dst != nullptr;
}

FilterInstance& instance_of(const FilterActivation* fa) {
    return *static_cast<FilterInstance*>(fa->filter_data);
}

FrameView view_of(const VFBitmap& b) {
    return FrameView{reinterpret_cast<uint8_t*>(b.data), b.pitch, b.w, b.h};
}

// The route choice: pass-through when disabled, else the GPU, and the CPU for
// every frame the GPU declines or fails.
int run_frame(FilterInstance& fi, const FrameView& src, const FrameView& dst) {
    if (fi.disable != 0) {
        copy_rows(src, dst, src.w, src.h);
        fi.lastRoute = kRoutePassThrough;
        return 0;
    }
    if (gpu_route_run(fi, src, dst)) {
        fi.lastRoute = kRouteGpu;
        return 0;
    }
    fi.lastRoute = kRouteCpu;
    return run_fast_route(fi, src, dst);
}

// The GPU context goes back to the pool of idle ones, for the next start.
void release_instance(FilterInstance& fi) {
    claim_resources(fi);
    release_luma_plane(fi);
    release_line_ring(fi);
    gpu_route_end(fi);
}

}  // namespace

int32_t parallel_safe(const void* instance) noexcept {
    if (instance == nullptr) return 0;
    // A record whose context is another's (a copy by bytes) drops it on its
    // next call and runs on the CPU.
    const auto& fi = *static_cast<const FilterInstance*>(instance);
    return fi.gpu == nullptr || fi.owner != &fi ? 1 : 0;
}

int initProc(FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_instance(fa)) return 1;
    return guarded(1, [&] {
        init_instance(instance_of(fa), processor_count());
        return 0;
    });
}

int startProc(FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_instance(fa) || fa->src == nullptr) return 1;
    return guarded(1, [&] {
        FilterInstance& fi = instance_of(fa);
        claim_resources(fi);
        const VFBitmap& src = *fa->src;
        if (!ensure_luma_plane(fi, src.w, src.h)) return 1;
        if (src.w > 0 && !ensure_line_ring(fi, src.w)) return 1;
        gpu_route_start(fi, src.w, src.h);
        return 0;
    });
}

int runProc(const FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_frames(fa)) return 1;
    FilterInstance& fi = instance_of(fa);
    const FrameView src = view_of(*fa->src), dst = view_of(*fa->dst);
    if (guarded(1, [&] {
            claim_resources(fi);
            return run_frame(fi, src, dst);
        }) == 0)
        return 0;
    // A route writes the destination only once its frame is complete, so
    // the source is still as the host gave it, in place too.
    copy_rows(src, dst, src.w, src.h);
    fi.lastRoute = kRoutePassThrough;
    return 1;
}

int endProc(FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_instance(fa)) return 1;
    return guarded(1, [&] {
        release_instance(instance_of(fa));
        return 0;
    });
}

// A host may delete an instance it never ended; one it ended holds nothing.
void deinitProc(FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_instance(fa)) return;
    guarded([&] { release_instance(instance_of(fa)); });
}

void copyProc(FilterActivation* fa, const FilterFunctions*, void* dst) noexcept {
    if (!has_instance(fa) || dst == nullptr) return;
    copy_instance(instance_of(fa), *static_cast<FilterInstance*>(dst));
}

void copyProc2(FilterActivation* fa, const FilterFunctions* ff, void* dst, FilterActivation*,
               const FilterFunctions*) noexcept {
    copyProc(fa, ff, dst);
}

void stringProc(const FilterActivation* fa, const FilterFunctions*, char* buf) noexcept {
    const bool ok = has_instance(fa) && guarded(false, [&] {
        write_summary_string(instance_of(fa), buf);
        return true;
    });
    if (!ok && buf != nullptr) buf[0] = '\0';
}

bool fssProc(FilterActivation* fa, const FilterFunctions*, char* buf, int buflen) noexcept {
    const bool ok =
        has_instance(fa) && guarded(false, [&] { return write_script_string(instance_of(fa), buf, buflen); });
    if (!ok && buf != nullptr && buflen > 0) buf[0] = '\0';
    return ok;
}

void Config(IScriptInterpreter*, void* activation, const ScriptValue* argv, int argc) noexcept {
    if (activation == nullptr || argv == nullptr || argc < 5) return;
    const auto* fa = static_cast<const FilterActivation*>(activation);
    if (!has_instance(fa)) return;
    FilterInstance& fi = instance_of(fa);
    fi.f1 = argv[0].u.i;
    fi.f2 = argv[1].u.i;
    fi.sharp = argv[2].u.i;
    fi.interlace = argv[3].u.i;
    fi.multithreading = argv[4].u.i;
}

}  // namespace orv
