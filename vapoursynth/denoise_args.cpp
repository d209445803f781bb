#include "vapoursynth/denoise_args.h"

#include <iterator>
#include <limits>

namespace orv::vs {

// Each row's member of DenoiseArgs, in the rows' order.
constexpr int32_t DenoiseArgs::*kArgMembers[] = {
#define ORV_SETTING(field, ...) &DenoiseArgs::field,
#include "core/settings.def"
#undef ORV_SETTING
};
static_assert(std::size(kArgMembers) == kSettingCount);

void copy_settings(const DenoiseArgs& a, FilterInstance& fi) {
    for (size_t i = 0; i < kSettingCount; ++i)
        if (kSettings[i].arg != nullptr) fi.*kSettings[i].member = a.*kArgMembers[i];
}

const char* denoise_arg_list() {
    static const std::string list = [] {
        std::string l = "clip:vnode;";
        for (const SettingRow& s : kSettings)
            if (s.arg != nullptr) l += std::string(s.arg) + ":int:opt;";
        return l + "route:data:opt;";
    }();
    return list.c_str();
}

namespace {

// An absent argument keeps the default; a present one must fit the 32 bits
// the settings record holds.
bool read_int(const VSMap* in, const VSAPI* vsapi, const char* key, int32_t& out, bool& given, std::string& error) {
    int err = 0;
    const int64_t v = vsapi->mapGetInt(in, key, 0, &err);
    given = err == 0;
    if (!given) return true;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
        error = std::string(key) + " is " + std::to_string(v) + ", beyond the 32-bit integers the settings hold";
        return false;
    }
    out = static_cast<int32_t>(v);
    return true;
}

bool read_route(const VSMap* in, const VSAPI* vsapi, Route& route, std::string& error) {
    int err = 0;
    const char* s = vsapi->mapGetData(in, "route", 0, &err);
    if (err != 0) return true;
    const std::string r(s, static_cast<size_t>(vsapi->mapGetDataSize(in, "route", 0, &err)));
    if (r == "auto") route = Route::Auto;
    else if (r == "cpu") route = Route::Cpu;
    else if (r == "gpu") route = Route::Gpu;
    else {
        error = "route is \"" + r + "\"; it takes \"auto\", \"cpu\" or \"gpu\"";
        return false;
    }
    return true;
}

}  // namespace

bool read_denoise_args(const VSMap* in, const VSAPI* vsapi, DenoiseArgs& args, std::string& error) {
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (kSettings[i].arg == nullptr) continue;
        bool given = false;
        if (!read_int(in, vsapi, kSettings[i].arg, args.*kArgMembers[i], given, error)) return false;
        if (i == kSetting.interlace) args.interlaceGiven = given;
    }
    return read_route(in, vsapi, args.route, error);
}

bool takes_luma_plane(const VSVideoFormat& f) {
    return (f.colorFamily == cfGray || f.colorFamily == cfYUV) && f.sampleType == stInteger && f.bitsPerSample >= 8 &&
           f.bitsPerSample <= 16;
}

std::string refuse_format(const VSVideoInfo& vi, const VSAPI* vsapi) {
    const VSVideoFormat& f = vi.format;
    if (f.colorFamily == cfRGB && f.sampleType == stInteger && f.bitsPerSample == 8) return {};
    if (takes_luma_plane(f)) return {};
    const std::string takes = "; the filter takes RGB24, and GRAY and YUV of 8 to 16 bits in integers (on their luma)";
    char name[32] = {};
    if (f.colorFamily == cfUndefined || vsapi->getVideoFormatName(&f, name) == 0)
        return "the clip is of a format that varies from frame to frame" + takes +
               ": convert it with core.resize.Bicubic(clip, format=vs.RGB24), which takes each YUV frame's matrix "
               "from its _Matrix (or convert each part before they are joined)";
    // RGB goes to RGB24 without a matrix; float GRAY and YUV stay what they
    // are at 16 bits, the luma untouched by any matrix.
    if (f.colorFamily == cfRGB)
        return std::string("the clip is ") + name + takes + ": convert it with core.resize.Bicubic(clip, format=vs.RGB24)";
    VSVideoFormat wide = f;
    wide.sampleType = stInteger;
    wide.bitsPerSample = 16;
    wide.bytesPerSample = 2;
    char wideName[32] = "GRAY16";  // the name says Gray16; the constant is vs.GRAY16
    if (f.colorFamily == cfYUV) vsapi->getVideoFormatName(&wide, wideName);
    return std::string("the clip is ") + name + takes + ": convert it with core.resize.Point(clip, format=vs." +
           wideName + ")";
}

std::string refuse_luma_settings(const DenoiseArgs& a) {
    for (const size_t i : {kSetting.f1, kSetting.f2, kSetting.sharp}) {
        const SettingRow& s = kSettings[i];
        const int32_t v = a.*kArgMembers[i];
        if (v < s.lo || v > s.hi)
            return std::string(s.arg) + " is " + std::to_string(v) + "; on GRAY and YUV clips it takes " +
                   std::to_string(s.lo) + ".." + std::to_string(s.hi);
    }
    if (a.route == Route::Gpu) return "route=\"gpu\" takes RGB24 clips; GRAY and YUV clips take the CPU route";
    return {};
}

}  // namespace orv::vs
