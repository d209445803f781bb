// Idle GPU contexts, kept from an instance's end to the next start of any
// instance. AviSynth+ ends and starts a filter around every frame it does not
// get in order (every seek, and every frame of each Prefetch thread), and a
// real device spends as long on freeing and allocating frames as on
// denoising them; a context's buffers and stream therefore outlive the end.
//
// The pool rather than the instance keeps them: AviSynth+ deletes an instance
// without a word to the filter, so a context kept in the record would be lost
// with it. Each context is in exactly one place, an instance or the pool, so
// copies of an instance never share one.
#pragma once

#include <cstdint>

#include "gpu/gpu_context.h"

namespace orv {

// Idle contexts kept at most, by default: one each for up to four instances
// restarted on threads of their own (two pitched frames each, about 17 MB at
// 1080p). A context handed back to a full pool displaces the one idle
// longest.
inline constexpr int kIdleContextLimit = 4;

// A context for a w x h frame: an idle one of that size, else the one idle
// longest (its buffers are re-sized by the caller's next ensure), else a new
// one. Null without a driver, a device or memory.
GpuContext* gpu_context_take(int32_t w, int32_t h) noexcept;

// Takes a context back once its stream has finished; one whose stream has
// failed, or one the pool has no room for, is freed. Null is allowed.
void gpu_context_give_back(GpuContext* ctx) noexcept;

// Frees every idle context: the module is being unloaded.
void gpu_context_pool_drain() noexcept;

// How many idle contexts are kept from now on (0: every end frees its
// context); returns the former limit. Idle contexts past it are freed.
int gpu_context_pool_set_limit(int limit) noexcept;

}  // namespace orv
