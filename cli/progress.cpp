#include "cli/progress.h"

#include <cstdio>

namespace orv::cli {

double progress_seconds(const Progress& p) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - p.started).count();
}

std::string format_progress(int64_t done, int64_t total, double seconds, int barWidth) {
    const double fps = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    char tail[96];
    std::string bar;
    if (total > 0) {
        const int64_t filled = done >= total ? barWidth : done * barWidth / total;
        bar = "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(barWidth - filled), '.') + "] ";
        const double left = fps > 0 && done < total ? static_cast<double>(total - done) / fps : 0.0;
        std::snprintf(tail, sizeof tail, "%lld/%lld frames  %.1f fps  %.0f s left", static_cast<long long>(done),
                      static_cast<long long>(total), fps, left);
    } else {
        std::snprintf(tail, sizeof tail, "%lld frames  %.1f fps", static_cast<long long>(done), fps);
    }
    return bar + tail;
}

void progress_update(Progress& p, int64_t done, bool force) {
    if (!p.enabled) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - p.lastDrawn < std::chrono::milliseconds(100)) return;
    p.lastDrawn = now;
    std::fprintf(stderr, "\r%s\033[K", format_progress(done, p.total, progress_seconds(p), 30).c_str());
    std::fflush(stderr);
}

void progress_clear(Progress& p) {
    if (!p.enabled) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}

std::string format_summary(int64_t frames, int32_t w, int32_t h, double seconds, const std::string& route) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "orv: %lld frames, %dx%d, %.2f s, %.1f fps, route %s", static_cast<long long>(frames),
                  w, h, seconds, seconds > 0 ? static_cast<double>(frames) / seconds : 0.0, route.c_str());
    return buf;
}

}  // namespace orv::cli
