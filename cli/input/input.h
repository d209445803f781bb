// The input seam: one small interface for every kind of input, a file for
// each kind with its own state (input_libav.cpp: anything FFmpeg's libraries
// read, pictures and sequences included; input_raw.cpp: raw bgr0 frames on
// stdin), and one place that picks the kind (input_pick).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/frames/video_shape.h"
#include "cli/input/input_libav.h"
#include "cli/options.h"

namespace orv::cli {

struct InputKind;

struct Input {
    const InputKind* kind = nullptr;
    VideoShape shape;                 // set by open
    const Source* source = nullptr;   // the libav input when that is the kind: its streams are copied
    std::shared_ptr<void> state;      // the kind's own, made by its open
    const std::atomic<int>* stop = nullptr;  // set by a signal: libav's reads give up
    std::function<bool()> stopping;   // a signal or a failure elsewhere: reads give up
    bool badInput = false;            // the last error is the input's fault, not the run's
};

struct InputKind {
    const char* name;
    // Opens the input and describes its video in `in.shape`; `notes` gets
    // the lines the user should see about it.
    bool (*open)(Input& in, const Options& o, std::vector<std::string>& notes, std::string& error);
    // The next frame (pts set, in shape.timeBase) or a packet to copy.
    SourceItem (*next)(Input& in, AVFrame* frame, AVPacket* pkt, std::string& error);
    // What was lost on the way, as a line for the user; empty when nothing was.
    std::string (*damage)(const Input& in);
    // How many frames to expect, for the progress bar; -1 when unknown.
    int64_t (*frame_count)(const Input& in);
};

extern const InputKind kLibavInput;
extern const InputKind kRawInput;

// The kind that reads `o.input`.
const InputKind& input_pick(const Options& o);

bool input_open(Input& in, const Options& o, std::vector<std::string>& notes, std::string& error);

// The kind's own state, made by its open.
template <typename State>
State& input_state(const Input& in) {
    return *static_cast<State*>(in.state.get());
}

}  // namespace orv::cli
