#include "vapoursynth/denoise_args.h"

#include <limits>

namespace orv::vs {

const char* const kDenoiseArgList =
    "clip:vnode;f1:int:opt;f2:int:opt;sharp:int:opt;interlace:int:opt;show_noise:int:opt;disable:int:opt;"
    "auto_profile:int:opt;route:data:opt;";

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
    struct Field {
        const char* key;
        int32_t* target;
    };
    int32_t interlace = 0;
    const Field fields[] = {{"f1", &args.f1},          {"f2", &args.f2},           {"sharp", &args.sharp},
                            {"interlace", &interlace}, {"show_noise", &args.showNoise}, {"disable", &args.disable},
                            {"auto_profile", &args.autoProfile}};
    for (const Field& f : fields) {
        bool given = false;
        if (!read_int(in, vsapi, f.key, *f.target, given, error)) return false;
        if (f.target == &interlace && given) args.interlace = interlace;
    }
    return read_route(in, vsapi, args.route, error);
}

std::string refuse_format(const VSVideoInfo& vi, const VSAPI* vsapi) {
    const VSVideoFormat& f = vi.format;
    if (f.colorFamily == cfRGB && f.sampleType == stInteger && f.bitsPerSample == 8) return {};
    const std::string head = "; the filter takes RGB24: convert it with core.resize.Bicubic(clip, format=vs.RGB24";
    char name[32] = {};
    if (f.colorFamily == cfUndefined || vsapi->getVideoFormatName(&f, name) == 0)
        return "the clip is of a format that varies from frame to frame" + head +
               "), which takes each YUV frame's matrix from its _Matrix (or convert each part before they are joined)";
    // RGB and Gray go to RGB24 without a matrix; one given to them is an error.
    if (f.colorFamily != cfYUV) return std::string("the clip is ") + name + head + ")";
    // No matrix is right for every YUV clip (SD and HD differ), and the
    // conversion back wants the same one.
    return std::string("the clip is ") + name + head +
           ", matrix_in_s=M), M being the clip's own matrix (its frames' _Matrix: \"709\" for most HD, "
           "\"170m\" for most SD), and back with core.resize.Bicubic(out, format=vs." + name + ", matrix_s=M)";
}

}  // namespace orv::vs
