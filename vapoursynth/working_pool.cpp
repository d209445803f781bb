#include "vapoursynth/working_pool.h"

#include <new>

#include "core/fast_route.h"
#include "core/reference_route.h"
#include "core/settings.h"
#include "gpu/gpu_route.h"

namespace orv::vs {

Working* working_new() {
    Working* w = new (std::nothrow) Working;
    if (w != nullptr) init_instance(w->fi, processor_count());
    return w;
}

void working_delete(Working* w) {
    if (w == nullptr) return;
    release_luma_plane(w->fi);
    release_line_ring(w->fi);
    gpu_route_end(w->fi);
    delete w;
}

Working* pool_take(WorkingPool& pool) {
    {
        const std::lock_guard<std::mutex> hold(pool.lock);
        if (!pool.idle.empty()) {
            Working* w = pool.idle.back();
            pool.idle.pop_back();
            return w;
        }
    }
    return working_new();
}

void pool_give(WorkingPool& pool, Working* w) {
    if (w == nullptr) return;
    try {
        const std::lock_guard<std::mutex> hold(pool.lock);
        pool.idle.push_back(w);
        return;
    } catch (...) {
    }
    // No room to keep it: the next frame makes another.
    working_delete(w);
}

void pool_clear(WorkingPool& pool) {
    const std::lock_guard<std::mutex> hold(pool.lock);
    for (Working* w : pool.idle) working_delete(w);
    pool.idle.clear();
}

}  // namespace orv::vs
