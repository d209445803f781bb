// orv: runs the ORV filter module over a video, in and out through FFmpeg's libraries.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/version.h>
#include <libavformat/version.h>
#include <libswscale/version.h>
}

#include "cli/denoise_command.h"
#include "cli/options.h"
#include "orv_version.h"

namespace {

std::string default_module_path() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ((ec ? std::filesystem::path(".") : exe.parent_path()) / "ORV_CUDA.so").string();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        std::string error;
        const auto opts = orv::cli::parse_options(args, error);
        if (!opts) {
            std::fprintf(stderr, "orv: %s (see orv --help)\n", error.c_str());
            return 2;
        }
        if (opts->command == "version") {
            std::printf("orv %s (libavformat %s, libavcodec %s, libswscale %s)\n", ORV_VERSION,
                        AV_STRINGIFY(LIBAVFORMAT_VERSION), AV_STRINGIFY(LIBAVCODEC_VERSION),
                        AV_STRINGIFY(LIBSWSCALE_VERSION));
            return 0;
        }
        if (opts->command == "help") {
            std::fputs(orv::cli::usage_text().c_str(), stdout);
            return 0;
        }
        return orv::cli::run_denoise(*opts, default_module_path());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orv: %s\n", e.what());
        return 1;
    }
}
