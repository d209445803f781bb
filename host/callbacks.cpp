#include "host/callbacks.h"

#include "core/fast_route.h"
#include "core/filter_instance.h"
#include "core/frame_geometry.h"
#include "core/reference_route.h"
#include "core/settings.h"
#include "gpu/gpu_route.h"
#include "host/guarded.h"

// Results on a caught exception, or on an activation without an instance:
// - a status callback reports failure (1). For runProc that is the same answer
//   as for scratch frames that can't be made: a route writes the destination
//   only once it has its frame complete, so the host keeps its buffer as it
//   was and learns that this frame has no output, instead of losing the
//   editor.
// - the script string is empty and fssProc answers false, so that the host
//   saves no Config for the instance rather than a cut or stale one;
// - the summary is empty.

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

}  // namespace

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
        const VFBitmap& src = *fa->src;
        if (!ensure_luma_plane(fi, src.w, src.h)) return 1;
        gpu_route_start(fi, src.w, src.h);
        return 0;
    });
}

int runProc(const FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_frames(fa)) return 1;
    return guarded(1, [&] { return run_frame(instance_of(fa), view_of(*fa->src), view_of(*fa->dst)); });
}

int endProc(FilterActivation* fa, const FilterFunctions*) noexcept {
    if (!has_instance(fa)) return 1;
    return guarded(1, [&] {
        FilterInstance& fi = instance_of(fa);
        release_luma_plane(fi);
        gpu_route_end(fi);
        return 0;
    });
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
