// What a script hands orv.Denoise, read and judged before the filter exists.
#pragma once

#include <cstdint>
#include <string>

#include "VapourSynth4.h"
#include "core/settings.h"

namespace orv::vs {

enum class Route { Auto, Cpu, Gpu };

// The settings as the script form takes them: any 32-bit integer, stored
// unchanged; one member per row of core/settings.def, at its default.
// `interlace` given by the caller wins over the frames' _FieldBased.
struct DenoiseArgs {
#define ORV_SETTING(field, def, ...) int32_t field = def;
#include "core/settings.def"
#undef ORV_SETTING
    bool interlaceGiven = false;
    Route route = Route::Auto;
};

// The argument list given to the core at registration: the clip, then the
// settings' arguments in the rows' order, then route.
const char* denoise_arg_list();

// Each setting the plugin has an argument for, into the record.
void copy_settings(const DenoiseArgs& a, FilterInstance& fi);

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
