// The working memory of frames filtered at once. Neither route keeps anything
// in a record from one frame to the next that a frame's output depends on
// (the GPU route's noise estimate comes from the frames' own profiles, kept
// by frame number in the node), so each frame takes a record nobody else is
// using, and the output doesn't depend on which one, on the thread, or on
// the order frames are asked for.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "core/filter_instance.h"
#include "core/luma_route.h"

namespace orv::vs {

// One frame's worth: an instance record (its luma plane, its line ring, and
// on the GPU route its context) and XRGB words: a ring of rows on the CPU
// route, the whole frame on the GPU route.
struct Working {
    FilterInstance fi;
    std::vector<uint32_t> xrgb;
    LumaWorkspace luma;  // GRAY and YUV clips' lines
};

// A record with the defaults, no resources yet; null when memory ran out.
Working* working_new();
void working_delete(Working* w);

// Records not in use; there are never more than frames were filtered at once.
struct WorkingPool {
    std::mutex lock;
    std::vector<Working*> idle;
};

// An idle record, else a new one; null when memory ran out.
Working* pool_take(WorkingPool& pool);
void pool_give(WorkingPool& pool, Working* w);
void pool_clear(WorkingPool& pool);

}  // namespace orv::vs
