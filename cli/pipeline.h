// The run's threads: one reader, a worker per filter instance, and the
// writer, which takes frames and copied packets in reading order.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cli/frame_job.h"
#include "cli/input/input.h"
#include "cli/output/output.h"
#include "cli/progress.h"

namespace orv::cli {

// orv's exit statuses other than a signal's.
enum ExitStatus { kDone = 0, kFailed = 1, kBadInput = 2, kDamagedInput = 3 };

struct PipelineSettings {
    Input* in = nullptr;
    Output* out = nullptr;
    bool alpha = false;       // the input's alpha rides in the top byte to the output
    bool onePicture = false;  // the output takes one frame only
    bool handOn = false;      // the filter is disabled: decoded frames go to the encoder as they are where it takes them
    const std::atomic<int>* signal = nullptr;  // every thread leaves when it is set
    size_t maxInFlight = 4;                    // frames read and not yet written
};

// Its lock, queues and counters are the threads' own.
struct Pipeline;
struct PipelineDeleter {
    void operator()(Pipeline* p) const noexcept;
};
using PipelinePtr = std::unique_ptr<Pipeline, PipelineDeleter>;

PipelinePtr pipeline_make(const PipelineSettings& settings);

// A failure or a signal: every thread leaves, and reads give up.
bool pipeline_stopping(const Pipeline& p);

// Starts the reader and one thread per worker.
std::vector<std::thread> pipeline_start(Pipeline& p, std::vector<std::unique_ptr<Worker>>& workers);

// The writer, on the calling thread, until every item is written, a failure or a signal.
void pipeline_write(Pipeline& p, Progress& progress);

// What the run came to, once its threads have ended.
struct PipelineOutcome {
    std::string failure;  // the first one; empty when none
    int failureCode = kFailed;
    int64_t written = 0;
    bool moreThanOne = false;  // a one-picture output had more frames to take
    // Frames the GPU route declined, by the driver call that failed and its
    // status ("cuMemcpy2DAsync 700").
    std::map<std::string, int64_t> declines;
    std::string routes;  // "GPU 118, CPU 2": how many frames took each route
};
PipelineOutcome pipeline_outcome(const Pipeline& p);

}  // namespace orv::cli
