// A one-line progress bar on a terminal, and the closing summary.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace orv::cli {

struct Progress {
    bool enabled = false;
    int64_t total = -1;  // unknown when -1
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDrawn{};
};

// Redraws at most ten times a second, and always when `force`.
void progress_update(Progress& p, int64_t done, bool force = false);
void progress_clear(Progress& p);
double progress_seconds(const Progress& p);

std::string format_summary(int64_t frames, int32_t w, int32_t h, double seconds, const std::string& route);
std::string format_progress(int64_t done, int64_t total, double seconds, int barWidth);

}  // namespace orv::cli
