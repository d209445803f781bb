// Raw 32-bit XRGB frames (bgr0) on stdout, as the filter gives them.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/output/output.h"

namespace orv::cli {

namespace {

bool raw_open(Output&, const Input&, const Options&, const std::string&, std::vector<std::string>&, std::string&) {
    return true;
}

bool raw_prepare(Output&, Worker&, Job&, const uint32_t*, bool, std::string&) { return true; }

// write(2) directly: nothing is left in a buffer when the run ends.
bool raw_write_frame(Output&, Job& job, std::string& error) {
    const auto* b = reinterpret_cast<const uint8_t*>(job.xrgb.data());
    size_t left = job.xrgb.size() * 4;
    while (left > 0) {
        const ssize_t n = write(1, b, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return (error = std::string("cannot write to standard output: ") + std::strerror(errno), false);
        b += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool raw_hand_on(const Output&, Job&) { return false; }
bool raw_write_copy(Output&, const Input&, AVPacket*, std::string&) { return true; }
bool raw_finish(Output&, std::string&) { return true; }
int64_t raw_frames_done(const Output&, int64_t handed) { return handed; }
std::string raw_timing_note(const Output&) { return {}; }

}  // namespace

const OutputKind kRawOutput{"raw",          true,         raw_open,        raw_prepare,     raw_hand_on,
                            raw_write_frame, raw_write_copy, raw_finish, raw_frames_done, raw_timing_note};

}  // namespace orv::cli
