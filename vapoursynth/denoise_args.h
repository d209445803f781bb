// What a script hands orv.Denoise, read and judged before the filter exists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "VapourSynth4.h"

namespace orv::vs {

enum class Route { Auto, Cpu, Gpu };

// The settings as the script form takes them: any 32-bit integer, stored
// unchanged. `interlace` is absent when the caller left it to the frames'
// _FieldBased.
struct DenoiseArgs {
    int32_t f1 = 70;
    int32_t f2 = 70;
    int32_t sharp = 2;
    std::optional<int32_t> interlace;
    int32_t showNoise = 0;
    int32_t disable = 0;
    int32_t autoProfile = 1;
    Route route = Route::Auto;
};

// The argument list given to the core at registration.
extern const char* const kDenoiseArgList;

// Reads every optional argument over the defaults. False with one line in
// `error` for an integer beyond 32 bits or an unknown route.
bool read_denoise_args(const VSMap* in, const VSAPI* vsapi, DenoiseArgs& args, std::string& error);

// Empty when the clip is one the filter takes (constant RGB24, or GRAY or
// YUV of 8 to 16 bits in integers, any size), else the line that says what to do.
std::string refuse_format(const VSVideoInfo& vi, const VSAPI* vsapi);

// GRAY and YUV: the first plane is the luma the filter reads.
bool takes_luma_plane(const VSVideoFormat& f);

// Empty when the settings suit a GRAY or YUV clip: strengths 0..100, sharp
// 0..6 (the ranges within which the wider samples' arithmetic holds), and the
// CPU route, else the line that says why not.
std::string refuse_luma_settings(const DenoiseArgs& a);

}  // namespace orv::vs
