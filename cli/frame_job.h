// One frame on its way through the run, and the state of one filter thread.
#pragma once

extern "C" {
#include <libavutil/frame.h>
}

#include <cstdint>
#include <vector>

#include "cli/frames/media.h"
#include "cli/module_host.h"

namespace orv::cli {

// Read, then filtered and made ready for the output by any worker, then
// written in reading order.
struct Job {
    AVFrame* in = nullptr;
    AVFrame* out = nullptr;      // for the encoder
    std::vector<uint32_t> xrgb;  // for raw output
    bool done = false;
    ~Job() {
        av_frame_free(&in);
        av_frame_free(&out);
    }
};

struct Worker {
    ModuleHostPtr host;
    ToXrgb toXrgb;
    FromXrgb fromXrgb;
    std::vector<uint32_t> src, dst, turned;
};

}  // namespace orv::cli
