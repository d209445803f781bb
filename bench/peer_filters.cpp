#include "bench/peer_filters.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace orv::bench {

namespace {

#ifdef _WIN32
constexpr const char* kQuiet = " >NUL 2>&1";
#else
constexpr const char* kQuiet = " >/dev/null 2>&1";
#endif

// The filters work on planar formats; both runs convert the frames to the
// planar format first, so that the conversion cancels out of the difference.
std::string planar(const std::string& format) { return "format=" + format; }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string command(const std::string& raw, int32_t w, int32_t h, int loops, const std::string& chain) {
    return "ffmpeg -hide_banner -nostdin -loglevel error -threads 1 -filter_threads 1 -stream_loop " +
           std::to_string(loops) + " -f rawvideo -pix_fmt bgr0 -s " + std::to_string(w) + "x" + std::to_string(h) +
           " -i \"" + raw + "\" -vf " + chain + " -f null -" + kQuiet;
}

// Processor seconds (user and system) the children have used so far; where
// the system doesn't count them (Windows), wall seconds.
double children_seconds() {
#ifdef _WIN32
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    auto sec = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
#endif
}

// Processor seconds of one run, or a negative value when it failed. On a
// machine shared with other work, wall time would count theirs too.
double run_seconds(const std::string& cmd) {
    const double t0 = children_seconds();
    const int rc = std::system(cmd.c_str());
    return rc == 0 ? children_seconds() - t0 : -1.0;
}

}  // namespace

bool ffmpeg_available() { return std::system((std::string("ffmpeg -version") + kQuiet).c_str()) == 0; }

std::string peer_method(int framesPerRun, int rounds) {
    return "ffmpeg -threads 1 -filter_threads 1 over " + std::to_string(framesPerRun) +
           " frames per run (bgr0 raw file, -vf format=FORMAT,FILTER, -f null); per frame = (median processor time of " +
           std::to_string(rounds) + " runs - median of " + std::to_string(rounds) +
           " runs of -vf format=FORMAT) / frames, the runs of every format and filter interleaved";
}

std::vector<PeerTiming> time_peers(const std::vector<std::vector<uint32_t>>& frames, int32_t w, int32_t h,
                                   const std::vector<std::string>& formats, const std::vector<std::string>& filters,
                                   int loops, int rounds) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path raw = fs::temp_directory_path(ec) / "orv-bench-frames.raw";
    if (ec) return {};
    {
        std::ofstream out(raw, std::ios::binary);
        for (const auto& f : frames) out.write(reinterpret_cast<const char*>(f.data()), f.size() * 4);
        if (!out) return {};
    }
    const int perRun = static_cast<int>(frames.size()) * (loops + 1);
    // Per format its baseline, then its filters.
    std::vector<std::string> chains;
    for (const auto& format : formats) {
        chains.push_back(planar(format));
        for (const auto& f : filters) chains.push_back(planar(format) + "," + f);
    }
    std::vector<std::vector<double>> seconds(chains.size());
    bool ok = run_seconds(command(raw.string(), w, h, 0, chains.back())) >= 0;  // warm-up
    for (int r = 0; r < rounds && ok; ++r)
        for (size_t c = 0; c < chains.size() && ok; ++c) {
            const double s = run_seconds(command(raw.string(), w, h, loops, chains[c]));
            ok = s >= 0;
            seconds[c].push_back(s);
        }
    fs::remove(raw, ec);
    if (!ok) return {};
    std::vector<PeerTiming> result;
    const size_t stride = filters.size() + 1;
    for (size_t p = 0; p < formats.size(); ++p) {
        const double base = median(seconds[p * stride]);
        for (size_t c = 1; c < stride; ++c)
            result.push_back(
                PeerTiming{filters[c - 1], formats[p], (median(seconds[p * stride + c]) - base) * 1000.0 / perRun});
    }
    return result;
}

}  // namespace orv::bench
