// The command line of `orv`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orv::cli {

struct Options {
    std::string command;  // "denoise", "help" or "version"
    std::string input, output;
    std::string configLine;  // --config, replayed first
    std::optional<int32_t> f1, f2, sharp;
    bool interlace = false, showNoise = false, disable = false, noAutoProfile = false;
    int32_t width = 0, height = 0;  // --size, for raw frames
    std::string rate = "25";
    std::string codec, crf, preset, pixFmt;
    std::vector<std::pair<std::string, std::string>> encoderOptions;  // --encoder-opt KEY=VALUE, in order
    int32_t threads = 0;  // 0: one per core
    std::string modulePath;
    bool force = false, quiet = false, verbose = false;
};

// Parses argv[1..]. On failure returns nothing with a one-line `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace orv::cli
