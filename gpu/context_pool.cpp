#include "gpu/context_pool.h"

#include <atomic>
#include <thread>

namespace orv {

namespace {

constexpr int kMostIdle = 16;

// Instances on several threads start and end at once (AviSynth+'s Prefetch).
// A spin lock, because a mutex's first lock may allocate in some C runtimes,
// and an end must not fail for want of memory; it is held for a few loads
// and stores, never across a driver call.
std::atomic_flag poolLock = ATOMIC_FLAG_INIT;

struct Guard {
    Guard() {
        while (poolLock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    ~Guard() { poolLock.clear(std::memory_order_release); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

// Oldest first.
GpuContext* idle[kMostIdle] = {};
int idleCount = 0;
int idleLimit = kIdleContextLimit;

GpuContext* remove_at(int i) {
    GpuContext* ctx = idle[i];
    for (int k = i; k + 1 < idleCount; ++k) idle[k] = idle[k + 1];
    idle[--idleCount] = nullptr;
    return ctx;
}

// Under the lock: the idle context that suits a w x h frame best, if any.
GpuContext* take_idle(int32_t w, int32_t h) {
    for (int i = idleCount - 1; i >= 0; --i)
        if (idle[i]->frameWidth == w && idle[i]->frameHeight == h) return remove_at(i);
    return idleCount > 0 ? remove_at(0) : nullptr;
}

// Under the lock: keeps ctx, and returns the context that now must go (ctx
// itself when nothing is kept, the longest idle when the pool is full).
GpuContext* keep(GpuContext* ctx) {
    if (idleLimit == 0) return ctx;
    GpuContext* out = idleCount == idleLimit ? remove_at(0) : nullptr;
    idle[idleCount++] = ctx;
    return out;
}

int pool_limit() {
    Guard g;
    return idleLimit;
}

}  // namespace

GpuContext* gpu_context_take(int32_t w, int32_t h) noexcept {
    GpuContext* ctx = nullptr;
    {
        Guard g;
        ctx = take_idle(w, h);
    }
    return ctx != nullptr ? ctx : gpu_context_create();
}

void gpu_context_give_back(GpuContext* ctx) noexcept {
    if (ctx == nullptr) return;
    // Work still queued would reach the next user's frames, and a stream
    // that failed is no use to anyone.
    const bool reusable = pool_limit() > 0 && ctx->stream != nullptr && cuda::wait_stream(ctx->stream) == cuda::kSuccess;
    GpuContext* out = ctx;
    if (reusable) {
        Guard g;
        out = keep(ctx);
    }
    gpu_context_free(out);
}

void gpu_context_pool_drain() noexcept { gpu_context_pool_set_limit(gpu_context_pool_set_limit(0)); }

int gpu_context_pool_set_limit(int limit) noexcept {
    limit = limit < 0 ? 0 : limit > kMostIdle ? kMostIdle : limit;
    GpuContext* out[kMostIdle] = {};
    int outCount = 0, former = 0;
    {
        Guard g;
        former = idleLimit;
        idleLimit = limit;
        while (idleCount > idleLimit) out[outCount++] = remove_at(0);
    }
    for (int i = 0; i < outCount; ++i) gpu_context_free(out[i]);
    return former;
}

}  // namespace orv
