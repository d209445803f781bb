// orv_module_time MODULE WIDTH HEIGHT FRAMES.raw COUNT ROUNDS
//
// The module's CPU route as a host meets it: raw bgr0 frames through the
// module's two entries and its run callback, as orv drives it, in processor
// time per frame: the best of ROUNDS rounds of COUNT frames each, taken from
// the file's frames in turn. The VapourSynth benchmark's baseline, which
// times the plugin over rounds of the same length; run it with
// CUDA_VISIBLE_DEVICES empty.
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "cli/module_host.h"

namespace {

double processor_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: orv_module_time MODULE WIDTH HEIGHT FRAMES.raw COUNT ROUNDS\n");
        return 2;
    }
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]), count = std::atoi(argv[5]), rounds = std::atoi(argv[6]);
    const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::ifstream in(argv[4], std::ios::binary);
    std::vector<std::vector<uint32_t>> frames;
    for (std::vector<uint32_t> f(pixels); in.read(reinterpret_cast<char*>(f.data()), static_cast<std::streamsize>(pixels * 4));)
        frames.push_back(f);
    std::string error;
    orv::cli::ModuleHostPtr host = orv::cli::module_open(argv[1], error);
    if (host == nullptr || frames.empty() || count < 1 || rounds < 1 || orv::cli::module_start(*host, w, h) != 0) {
        std::fprintf(stderr, "orv_module_time: %s\n", host == nullptr ? error.c_str() : "no frames, or the start failed");
        return 1;
    }
    std::vector<uint32_t> out(pixels);
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(w) * 4;
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const double t0 = processor_seconds();
        for (int n = 0; n < count; ++n)
            orv::cli::module_run(*host, frames[static_cast<size_t>(n) % frames.size()].data(), pitch, out.data(), pitch);
        best = std::min(best, processor_seconds() - t0);
    }
    std::printf("%.3f\n", best / count * 1000.0);
    return 0;
}
