// The run's threads: one reader, a worker per filter instance, and the
// writer, which takes frames and copied packets in reading order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/frame_job.h"
#include "cli/input.h"
#include "cli/output.h"
#include "cli/progress.h"

namespace orv::cli {

// orv's exit statuses other than a signal's.
enum ExitStatus { kDone = 0, kFailed = 1, kBadInput = 2, kDamagedInput = 3 };

// What the writer takes next, in reading order: a frame or a copied packet.
struct Item {
    std::shared_ptr<Job> job;
    AVPacket* pkt = nullptr;
};

struct Pipeline {
    Input* in = nullptr;
    Output* out = nullptr;
    bool alpha = false;       // the input's alpha rides in the top byte to the output
    bool onePicture = false;  // the output takes one frame only
    const std::atomic<int>* signal = nullptr;

    std::mutex m;
    std::condition_variable changed;
    std::deque<Item> items;                 // for the writer, in order
    std::deque<std::shared_ptr<Job>> todo;  // for the workers
    size_t inFlight = 0;                    // frames read and not yet written
    size_t maxInFlight = 4;
    bool readerDone = false;
    std::atomic<int> stop{0};  // a failure or a signal: every thread leaves
    std::string failure;
    int failureCode = kFailed;
    std::atomic<int64_t> routes[3] = {0, 0, 0};
    // Frames the GPU route declined, by the driver call that failed and its
    // status ("cuMemcpy2DAsync 700"); under m.
    std::map<std::string, int64_t> declines;
    std::atomic<bool> moreThanOne{false};
    int64_t written = 0;

    Pipeline() = default;
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    ~Pipeline();
    void fail_with(int code, const std::string& text);
    bool stopping() const;
};

// Starts the reader and one thread per worker.
std::vector<std::thread> pipeline_start(Pipeline& p, std::vector<std::unique_ptr<Worker>>& workers);

// The writer, on the calling thread, until every item is written, a failure or a signal.
void pipeline_write(Pipeline& p, Progress& progress);

// "GPU 118, CPU 2": how many frames took each route.
std::string route_summary(const Pipeline& p);

}  // namespace orv::cli
