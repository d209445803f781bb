// The command line of `orv`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings.h"

namespace orv::cli {

// What the command line says about the encoder, carried as one record to the
// output's set-up. Settings that are the encoder's own private options (crf,
// preset) are named by their option row (options.cpp), so a new one is a
// field here and a row there.
struct EncoderRecord {
    std::string codec;  // encoder name; empty for the default
    std::string crf, preset, pixFmt;
    std::string format;  // --format: the output's container, for a name that says none (pipe:1)
    std::vector<std::pair<std::string, std::string>> encoderOptions;  // --encoder-opt KEY=VALUE, in order
    bool verbose = false;
};

// The encoder record is the base so that the command line fills its fields
// by the same names as the rest.
struct Options : EncoderRecord {
    std::string command;  // "denoise", "help" or "version"
    std::string input, output;
    std::string configLine;  // --config, replayed first
    // Each setting of core/settings.def the command line gave, by its index
    // there; interlace neither given nor refused (--no-interlace): the input decides.
    std::optional<int32_t> settings[kSettingCount];
    bool noInterlace = false;
    int32_t width = 0, height = 0;  // --size, for raw frames
    std::string rate;               // --rate; empty: the stream's own, 25 for raw frames
    int32_t threads = 0;            // 0 (or --threads 0): one per processor orv may use
    std::string kernelSet;          // --kernel-set: the cap on the CPU route's kernels
    std::string modulePath;
    bool force = false, quiet = false;
};

// An encoder setting that is one private option of the encoder (its libav
// name): refused before anything is read when the encoder has no such option.
struct EncoderSetting {
    const char* flag;      // "--crf"
    const char* avOption;  // "crf"
    std::string EncoderRecord::*field;
};
const std::vector<EncoderSetting>& encoder_settings();

// Parses argv[1..]. On failure returns nothing with a one-line `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);

// A line when --config carries strengths or sharpening outside the ranges
// the plain options take, and none of those overrides them; empty otherwise.
std::string config_beyond_ranges(const Options& o);

// `orv --help`: the option lines come from the same table that parses them.
std::string usage_text();

}  // namespace orv::cli
