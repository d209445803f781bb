// The input seam: one small interface for every kind of input, a file for
// each kind (input_libav.cpp: anything FFmpeg's libraries read, pictures and
// sequences included; input_raw.cpp: raw bgr0 frames on stdin), and one place
// that picks the kind (input_pick).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/frames/video_shape.h"
#include "cli/input/input_libav.h"
#include "cli/options.h"

namespace orv::cli {

struct InputKind;

struct Input {
    const InputKind* kind = nullptr;
    VideoShape shape;                 // set by open
    const Source* source = nullptr;   // the libav input when that is the kind: its streams are copied
    Source libav;                     // state of the libav kind
    int64_t rawFrames = 0;            // state of the raw kind
    bool rawCut = false;              // the raw input ended inside a frame
    std::function<bool()> stopping;   // a signal or a failure elsewhere: reads give up
    bool badInput = false;            // the last error is the input's fault, not the run's
};

struct InputKind {
    const char* name;
    // Opens the input and describes its video in `in.shape`.
    bool (*open)(Input& in, const Options& o, std::string& error);
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

bool input_open(Input& in, const Options& o, std::string& error);

// A line when a numbered sequence has a gap: libav reads up to it.
std::string sequence_gap(const std::string& pattern);

}  // namespace orv::cli
