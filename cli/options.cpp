#include "cli/options.h"

#include "cli/config_line.h"

#include <cstdlib>
#include <tuple>
#include <utility>

namespace orv::cli {

namespace {

bool to_int(const std::string& s, int32_t lo, int32_t hi, int32_t& out) {
    if (s.empty() || s.size() > 11) return false;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int32_t>(v);
    return true;
}

std::string range_error(const std::string& flag, int32_t lo, int32_t hi, const std::string& v) {
    return flag + " takes a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not '" + v + "'";
}

bool parse_threads(Options& o, const std::string& v, std::string& error) {
    // 0 is all of them, as in ffmpeg.
    if (to_int(v, 0, 256, o.threads)) return true;
    return (error = range_error("--threads", 0, 256, v), false);
}

// The names the module knows: those of the table it was built from.
bool parse_kernel_set(Options& o, const std::string& v, std::string& error) {
    static constexpr const char* kNames[] = {"reference",
#define ORV_KERNEL_SET(name, ...) #name,
#include "core/kernel_sets.def"
#undef ORV_KERNEL_SET
    };
    std::string all;
    for (const char* name : kNames) {
        if (v == name) return (o.kernelSet = v, true);
        all += (all.empty() ? "" : ", ") + std::string(name);
    }
    return (error = "unknown kernel set '" + v + "'; the sets are " + all, false);
}

bool parse_size(Options& o, const std::string& v, std::string& error) {
    const auto x = v.find('x');
    if (x != std::string::npos && to_int(v.substr(0, x), 1, 32768, o.width) && to_int(v.substr(x + 1), 1, 32768, o.height))
        return true;
    return (error = "--size takes WIDTHxHEIGHT, each 1 to 32768, not '" + v + "'", false);
}

bool parse_encoder_option(Options& o, const std::string& v, std::string& error) {
    const auto eq = v.find('=');
    if (eq == std::string::npos || eq == 0) return (error = "--encoder-opt takes KEY=VALUE, not '" + v + "'", false);
    o.encoderOptions.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    return true;
}

enum class Section { Settings, Encoding, Other };

// One row per option: how it is parsed and how --help shows it. Exactly one
// of the targets is set; `value` names the argument of those that take one.
struct Row {
    const char* name;
    const char* value;
    Section section;
    std::string help;  // lines after the first start with '\n'
    bool Options::*flag = nullptr;
    std::string Options::*text = nullptr;
    std::string EncoderRecord::*encoderText = nullptr;
    const char* avOption = nullptr;  // with encoderText: the encoder's private option it sets
    int setting = -1;  // its index in kSettings
    bool (*special)(Options&, const std::string&, std::string&) = nullptr;
};

// orv's option for a setting: a value with its range and default, or a
// switch to the value that is not the default.
Row setting_row(size_t i) {
    const SettingRow& s = kSettings[i];
    Row r{.name = s.option, .value = nullptr, .section = Section::Settings, .help = s.help, .setting = static_cast<int>(i)};
    if (!s.takes_value()) return r;
    r.value = "N";
    r.help += ", " + std::to_string(s.lo) + " to " + std::to_string(s.hi) + " (default " +
              std::to_string(s.defaultValue) + ")";
    return r;
}

const std::vector<Row> kRows = [] {
    std::vector<Row> rows = {
    {.name = "--config", .value = "\"Config(F1,F2,SHARP,INTERLACE,MT)\"", .section = Section::Settings,
     .help = "the host's script line, e.g.\n\"Config(70,70,2,0,1)\"; its values are passed as they\n"
             "are, also outside the ranges below, as the host replays them",
     .text = &Options::configLine},
    };
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (kSettings[i].option == nullptr) continue;
        rows.push_back(setting_row(i));
        if (i == kSetting.interlace)
            rows.push_back({.name = "--no-interlace", .value = nullptr, .section = Section::Settings,
                            .help = "filter whole frames, also of interlaced input", .flag = &Options::noInterlace});
    }
    rows.insert(rows.end(), {
    {.name = "--codec", .value = "NAME", .section = Section::Encoding,
     .help = "video encoder, e.g. libx264, libx265, ffv1", .encoderText = &EncoderRecord::codec},
    {.name = "--crf", .value = "N", .section = Section::Encoding, .help = "the encoder's constant-quality level",
     .encoderText = &EncoderRecord::crf, .avOption = "crf"},
    {.name = "--preset", .value = "NAME", .section = Section::Encoding, .help = "the encoder's speed preset",
     .encoderText = &EncoderRecord::preset, .avOption = "preset"},
    {.name = "--pix-fmt", .value = "NAME", .section = Section::Encoding,
     .help = "the output's pixel format, e.g. yuv420p, yuv444p10le", .encoderText = &EncoderRecord::pixFmt},
    {.name = "--format", .value = "NAME", .section = Section::Encoding,
     .help = "the output's container (ffmpeg -muxers), for a name\nwithout an extension such as pipe:1", .encoderText = &EncoderRecord::format},
    {.name = "--encoder-opt", .value = "K=V", .section = Section::Encoding, .help = "any option of the encoder; repeatable",
     .special = parse_encoder_option},
    {.name = "--size", .value = "WxH", .section = Section::Other, .help = "frame size of raw input", .special = parse_size},
    {.name = "--rate", .value = "R", .section = Section::Other,
     .help = "frame rate of raw input (default 25), and of a raw stream\nwithout timestamps (default: the stream's)",
     .text = &Options::rate},
    {.name = "--threads", .value = "N", .section = Section::Other,
     .help = "filter threads (default, and 0: one per processor orv may\nuse; one with the GPU)", .special = parse_threads},
    {.name = "--kernel-set", .value = "NAME", .section = Section::Other,
     .help = "the CPU route's kernels: the best set the processor has\nat or below NAME, e.g. avx2 or reference",
     .special = parse_kernel_set},
    {.name = "--force", .value = nullptr, .section = Section::Other,
     .help = "overwrite an existing OUTPUT (never the INPUT itself)", .flag = &Options::force},
    {.name = "--module", .value = "PATH", .section = Section::Other,
     .help = "the filter module (default: ORV_CUDA.so beside orv)", .text = &Options::modulePath},
    {.name = "--quiet", .value = nullptr, .section = Section::Other, .help = "no progress bar, summary or notes",
     .flag = &Options::quiet},
    {.name = "--verbose", .value = nullptr, .section = Section::Other,
     .help = "the libraries' own messages too, the encoder chosen, the\n"
             "settings, threads and kernel set the filter runs with, and\nthe frames the GPU route declined",
     .flag = &Options::verbose},
    });
    return rows;
}();

const Row* row_named(const std::string& a) {
    for (const Row& r : kRows)
        if (a == r.name) return &r;
    return nullptr;
}

bool is_number(const std::string& v) {
    char* end = nullptr;
    std::strtod(v.c_str(), &end);
    return !v.empty() && *end == '\0';
}

bool apply_row(const Row& r, Options& o, const std::string& v, std::string& error) {
    if (r.text != nullptr) o.*r.text = v;
    else if (r.avOption != nullptr && std::string(r.avOption) == "crf" && !is_number(v))
        return (error = std::string(r.name) + " takes a number, not '" + v + "'", false);
    else if (r.encoderText != nullptr) o.*r.encoderText = v;
    else if (r.special != nullptr) return r.special(o, v, error);
    else if (r.setting >= 0) {
        const SettingRow& s = kSettings[r.setting];
        int32_t n = 0;
        if (!to_int(v, s.lo, s.hi, n)) return (error = range_error(r.name, s.lo, s.hi, v), false);
        o.settings[r.setting] = n;
    }
    return true;
}

// The operands once every option is read.
bool take_operands(Options& o, const std::vector<std::string>& positional, std::string& error) {
    if (positional.empty()) return (error = "no command given (try: orv denoise INPUT OUTPUT)", false);
    o.command = positional[0];
    if (o.command != "denoise") return (error = "unknown command " + o.command, false);
    if (positional.size() != 3) return (error = "denoise takes INPUT and OUTPUT", false);
    o.input = positional[1];
    o.output = positional[2];
    if (o.input == "-" && o.width == 0) return (error = "raw input on stdin needs --size WxH", false);
    const auto on = [&o](size_t i) { return o.settings[i].value_or(0) != 0; };
    for (const auto& [a, b, name] : {std::tuple{on(kSetting.interlace), o.noInterlace, "--interlace and --no-interlace"},
                                      std::tuple{on(kSetting.disable), on(kSetting.showNoise), "--disable and --show-noise"},
                                      std::tuple{o.quiet, o.verbose, "--quiet and --verbose"}})
        if (a && b) return (error = std::string(name) + " contradict each other", false);
    return true;
}

std::string option_lines(Section s) {
    constexpr size_t kHelpColumn = 23;
    std::string out;
    for (const Row& r : kRows) {
        if (r.section != s) continue;
        std::string line = std::string("  ") + r.name + (r.value != nullptr ? std::string(" ") + r.value : "");
        line += line.size() + 1 < kHelpColumn ? std::string(kHelpColumn - line.size(), ' ') : " ";
        for (const char c : r.help) line += c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, c);
        out += line + "\n";
    }
    return out;
}

}  // namespace

const std::vector<EncoderSetting>& encoder_settings() {
    static const std::vector<EncoderSetting> settings = [] {
        std::vector<EncoderSetting> s;
        for (const Row& r : kRows)
            if (r.avOption != nullptr) s.push_back({r.name, r.avOption, r.encoderText});
        return s;
    }();
    return settings;
}

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    Options o;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h" || a == "--version") {
            o.command = a == "--version" ? "version" : "help";
            return o;
        }
        if (a == "--") {  // the rest are operands, also those that start with '-'
            positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        const Row* r = row_named(a);
        if (r == nullptr && a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        }
        if (r == nullptr) {
            positional.push_back(a);
        } else if (r->value == nullptr && r->setting >= 0) {
            const SettingRow& s = kSettings[r->setting];
            o.settings[r->setting] = s.defaultValue == s.lo ? s.hi : s.lo;
        } else if (r->value == nullptr) {
            o.*r->flag = true;
        } else if (i + 1 >= args.size()) {
            error = a + " needs a value";
            return std::nullopt;
        } else if (!apply_row(*r, o, args[++i], error)) {
            return std::nullopt;
        }
    }
    if (!take_operands(o, positional, error)) return std::nullopt;
    return o;
}

std::string config_beyond_ranges(const Options& o) {
    std::string error, out;
    const auto call = parse_script_call(o.configLine, error);
    if (!call || call->name != "Config") return {};
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingRow& s = kSettings[i];
        if (s.script == 0 || s.option == nullptr || !s.takes_value() || call->args.size() < size_t(s.script)) continue;
        const int32_t v = call->args[s.script - 1];
        if ((v >= s.lo && v <= s.hi) || o.settings[i]) continue;  // a plain option overrides it
        out += (out.empty() ? "" : ", ") + std::string(s.option + 2) + " " + std::to_string(v) + " (" + s.option +
               " takes " + std::to_string(s.lo) + " to " + std::to_string(s.hi) + ")";
    }
    return out.empty() ? out : "--config sets " + out + "; the filter takes the values as they are, as its host does";
}

std::string usage_text() {
    return "usage: orv denoise INPUT OUTPUT [options]\n"
           "       orv --version | --help\n"
           "\n"
           "Denoises a video with the ORV filter module. INPUT and OUTPUT are video files,\n"
           "single pictures or numbered picture sequences (img%03d.png) that FFmpeg's\n"
           "libraries read and write; '-' is raw 32-bit XRGB frames (bgr0) on stdin or\n"
           "stdout, which needs --size as input. INPUT may be pipe: (stdin) or an http://\n"
           "or https:// address, OUTPUT pipe:1 (stdout, with --format); every other name\n"
           "is a file (take:1.mp4 and file:a.mp4 too). '--' ends the options.\n"
           "\n"
           "Kept from the input: every other stream (audio, subtitles, data, attachments)\n"
           "copied as it is; container and stream metadata, chapters, the start time and\n"
           "every frame's timestamp (variable frame rates too); the colour description,\n"
           "sample aspect ratio, field order, alpha, HDR metadata and rotation. Where the\n"
           "output container can't hold the rotation (Matroska, pictures) the frames are\n"
           "turned upright, and a line says so.\n"
           "\n"
           "Settings (the filter's script line, then plain options that override it):\n" +
           option_lines(Section::Settings) +
           "\n"
           "Encoding (default: the input's codec where an encoder for it exists and the\n"
           "container holds it, else the container's default; x264, x265, VP9, VP8 and AV1\n"
           "at crf 18, the MPEG family (MPEG-1/2/4, H.263, WMV, FLV, MJPEG) at q 2, Theora\n"
           "at 7, lossless codecs as they are; the input's pixel format where the encoder\n"
           "takes it, so a 10-bit input stays 10-bit):\n" +
           option_lines(Section::Encoding) +
           "\n"
           "Other options:\n" +
           option_lines(Section::Other) +
           "  --version            orv's version and the libraries'\n"
           "  --help               this text\n"
           "\n"
           "Exit status: 0 done; 1 the run failed (reading, filtering, writing, a full\n"
           "disk); 2 bad command line or input (nothing is read or written); 3 done from a\n"
           "damaged input (every frame that decodes is written, a line says what was lost);\n"
           "129, 130, 143 stopped by SIGHUP, SIGINT, SIGTERM. On any failure or stop nothing\n"
           "is left under OUTPUT's name and no temporary file remains. A signal that comes\n"
           "once the complete OUTPUT is in place stops nothing: exit 0 and 3 mean OUTPUT is\n"
           "complete.\n";
}

}  // namespace orv::cli
