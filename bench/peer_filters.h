// Timing ffmpeg's own denoisers on the benchmark's frames, for comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv::bench {

struct PeerTiming {
    std::string filter;  // as given to -vf
    std::string format;  // the planar format it ran on
    double msPerFrame;   // the filter's own share: this run minus the baseline run
};

bool ffmpeg_available();

// How the figures are taken, for the report.
std::string peer_method(int framesPerRun, int rounds);

// Runs ffmpeg over the frames (written once to a raw file) on one thread, for
// each planar format and filter and for each format's baseline that does
// everything but the filter, `rounds` times in turn; each figure is the
// difference of the medians per frame, in the order format by format.
// Returns nothing when ffmpeg fails.
std::vector<PeerTiming> time_peers(const std::vector<std::vector<uint32_t>>& frames, int32_t w, int32_t h,
                                   const std::vector<std::string>& formats, const std::vector<std::string>& filters,
                                   int loops, int rounds);

}  // namespace orv::bench
