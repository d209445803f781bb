// The output seam: one small interface for every kind of output, a file for
// each kind with its own state (output_libav.cpp: anything FFmpeg's
// libraries write, pictures and sequences included, set up in
// output_setup.cpp; output_raw.cpp: raw bgr0 frames on stdout), and one place
// that picks the kind (output_pick).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/frame_job.h"
#include "cli/input/input.h"
#include "cli/options.h"

namespace orv::cli {

struct OutputKind;

struct Output {
    const OutputKind* kind = nullptr;
    std::string name;               // OUTPUT as the user wrote it
    std::shared_ptr<void> state;    // the kind's own, made by its open
    // Set by open: what the run needs to know of the output.
    int rotation = 0;               // degrees the frames are turned before encoding
    bool singlePicture = false;     // the output holds one picture
    AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;  // what the frames are encoded in; none for XRGB as it is
    const std::atomic<int>* stop = nullptr;    // set by a signal: encoding and libav's writes give up soon after
    std::function<void(int64_t)> onPacket;     // while finishing, told the frames finished so far
};

struct OutputKind {
    const char* name;
    // The filter writes into the job's own XRGB rows, which are written as they are.
    bool writesXrgb;
    // Sets the output up, to `writePath`; every refusal comes here, before
    // any frame is read.
    bool (*open)(Output& out, const Input& in, const Options& o, const std::string& writePath,
                 std::vector<std::string>& notes, std::string& error);
    // In a worker thread: turns the filtered XRGB picture into what write_frame takes.
    bool (*prepare)(Output& out, Worker& w, Job& job, const uint32_t* xrgb, bool alpha, std::string& error);
    // With the filter disabled, in a worker thread: the decoded frame made
    // what write_frame takes, untouched, where the output can; else false.
    bool (*hand_on)(const Output& out, Job& job);
    // In reading order, on the writing thread.
    bool (*write_frame)(Output& out, Job& job, std::string& error);
    bool (*write_copy)(Output& out, const Input& in, AVPacket* pkt, std::string& error);
    bool (*finish)(Output& out, std::string& error);
    // The frames the output has finished, of `handed` given to it: an
    // encoder holds frames back.
    int64_t (*frames_done)(const Output& out, int64_t handed);
    // A line when the frames' times didn't fit the one rate the container holds.
    std::string (*timing_note)(const Output& out);
};

extern const OutputKind kLibavOutput;
extern const OutputKind kRawOutput;

const OutputKind& output_pick(const Options& o);

// Whether the output keeps the input's alpha.
bool output_keeps_alpha(const Output& out, AVPixelFormat inputFormat);

// The kind's own state, made by its open.
template <typename State>
State& output_state(const Output& out) {
    return *static_cast<State*>(out.state.get());
}

}  // namespace orv::cli
