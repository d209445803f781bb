// The output seam: one small interface for every kind of output, a file for
// each kind (output.cpp: anything FFmpeg's libraries write, pictures and
// sequences included, set up in output_setup.cpp; output_raw.cpp: raw bgr0
// frames on stdout), and one place that picks the kind (output_pick).
#pragma once

#include <string>
#include <vector>

#include "cli/frame_job.h"
#include "cli/input/input.h"
#include "cli/options.h"
#include "cli/output/output_libav.h"

namespace orv::cli {

struct OutputKind;

struct Output {
    const OutputKind* kind = nullptr;
    std::string name;  // OUTPUT as the user wrote it
    Sink sink;         // state of the libav kind
    FramePool frames;  // the encoder's frame buffers
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
    // In reading order, on the writing thread.
    bool (*write_frame)(Output& out, Job& job, std::string& error);
    bool (*write_copy)(Output& out, const Input& in, AVPacket* pkt, std::string& error);
    bool (*finish)(Output& out, std::string& error);
};

extern const OutputKind kLibavOutput;
extern const OutputKind kRawOutput;

const OutputKind& output_pick(const Options& o);

// The size of the pictures the output takes (turned for rotation) and whether
// it keeps the input's alpha.
int output_rotation(const Output& out);
bool output_keeps_alpha(const Output& out, AVPixelFormat inputFormat);
bool output_single_picture(const Output& out);
// The frames the output has finished, of `handed` given to it: the encoder's
// packets, as it holds frames back.
int64_t output_frames_done(const Output& out, int64_t handed);
// A line when the frames' times didn't fit the one rate the container holds.
std::string output_timing_note(const Output& out);

}  // namespace orv::cli
