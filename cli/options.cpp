#include "cli/options.h"

#include <cstdlib>
#include <utility>

namespace orv::cli {

const char* const kUsage =
    "usage: orv denoise INPUT OUTPUT [options]\n"
    "       orv --version | --help\n"
    "\n"
    "Denoises a video with the ORV filter module. INPUT and OUTPUT are video files,\n"
    "single pictures or numbered picture sequences (img%03d.png) that FFmpeg's\n"
    "libraries read and write; '-' is raw 32-bit XRGB frames (bgr0) on stdin or\n"
    "stdout, which needs --size as input.\n"
    "\n"
    "Kept from the input: every other stream (audio, subtitles, data, attachments)\n"
    "copied as it is; container and stream metadata, chapters, the start time and\n"
    "every frame's timestamp (variable frame rates too); the colour description,\n"
    "field order and rotation. Where the output container can't hold the rotation\n"
    "(Matroska, pictures) the frames are turned upright, and a line says so.\n"
    "\n"
    "Settings (the filter's script line, then plain options that override it):\n"
    "  --config \"Config(F1,F2,SHARP,INTERLACE,MT)\"  the host's script line, e.g.\n"
    "                       \"Config(70,70,2,0,1)\"; its values are passed as they are\n"
    "  --f1 N               first strength, 0 to 100 (default 70)\n"
    "  --f2 N               second strength, 0 to 100 (default 70)\n"
    "  --sharp N            sharpening of structure, 0 to 6 (default 2)\n"
    "  --interlace          treat the two fields of each frame apart\n"
    "  --show-noise         output a magnified picture of the removed noise\n"
    "  --disable            pass frames through untouched\n"
    "  --no-auto-profile    don't raise the strengths from the measured noise (GPU)\n"
    "\n"
    "Encoding (default: the input's codec where an encoder for it exists and the\n"
    "container holds it, else the container's default; x264, x265, VP9 and AV1 at\n"
    "crf 18, MPEG-4 and MJPEG at q 2, lossless codecs as they are; the input's pixel\n"
    "format where the encoder takes it, so a 10-bit input stays 10-bit):\n"
    "  --codec NAME         video encoder, e.g. libx264, libx265, ffv1\n"
    "  --crf N              the encoder's constant-quality level\n"
    "  --preset NAME        the encoder's speed preset\n"
    "  --pix-fmt NAME       the output's pixel format, e.g. yuv420p, yuv444p10le\n"
    "  --encoder-opt K=V    any option of the encoder; repeatable\n"
    "\n"
    "Other options:\n"
    "  --size WxH           frame size of raw input\n"
    "  --rate R             frame rate of raw input (default 25)\n"
    "  --threads N          filter threads (default: one per core; one with the GPU)\n"
    "  --force              overwrite an existing OUTPUT (never the INPUT itself)\n"
    "  --module PATH        the filter module (default: ORV_CUDA.so beside orv)\n"
    "  --quiet              no progress bar, summary or notes\n"
    "  --verbose            the libraries' own messages too\n"
    "  --version            orv's version and the libraries'\n"
    "  --help               this text\n"
    "\n"
    "Exit status: 0 done; 1 the run failed (reading, filtering, writing, a full\n"
    "disk); 2 bad command line or input (nothing is read or written); 129, 130,\n"
    "143 stopped by SIGHUP, SIGINT, SIGTERM. On any failure or stop nothing is left\n"
    "under OUTPUT's name and no temporary file remains. A signal that comes once\n"
    "the complete OUTPUT is in place stops nothing: exit 0 means OUTPUT is complete.\n";

namespace {

bool to_int(const std::string& s, int32_t lo, int32_t hi, int32_t& out) {
    if (s.empty() || s.size() > 11) return false;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int32_t>(v);
    return true;
}

// The options that take no value, each turning one setting on.
bool* switch_named(Options& o, const std::string& a) {
    const std::pair<const char*, bool Options::*> switches[] = {
        {"--interlace", &Options::interlace}, {"--show-noise", &Options::showNoise},
        {"--disable", &Options::disable},     {"--no-auto-profile", &Options::noAutoProfile},
        {"--force", &Options::force},         {"--quiet", &Options::quiet},
        {"--verbose", &Options::verbose},
    };
    for (const auto& [name, member] : switches)
        if (a == name) return &(o.*member);
    return nullptr;
}

// The options that take their value as it is.
std::string* text_named(Options& o, const std::string& a) {
    const std::pair<const char*, std::string Options::*> texts[] = {
        {"--config", &Options::configLine}, {"--crf", &Options::crf},     {"--preset", &Options::preset},
        {"--pix-fmt", &Options::pixFmt},    {"--rate", &Options::rate},   {"--codec", &Options::codec},
        {"--module", &Options::modulePath},
    };
    for (const auto& [name, member] : texts)
        if (a == name) return &(o.*member);
    return nullptr;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    Options o;
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto ranged = [&](std::optional<int32_t>& out, int32_t lo, int32_t hi) {
            std::string v;
            int32_t n;
            if (!value(v)) return false;
            if (!to_int(v, lo, hi, n)) {
                error = a + " takes a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                        ", not '" + v + "'";
                return false;
            }
            out = n;
            return true;
        };
        bool ok = true;
        if (a == "--help" || a == "-h") {
            o.command = "help";
            return o;
        } else if (a == "--version") {
            o.command = "version";
            return o;
        } else if (a == "--f1") {
            ok = ranged(o.f1, 0, 100);
        } else if (a == "--f2") {
            ok = ranged(o.f2, 0, 100);
        } else if (a == "--sharp") {
            ok = ranged(o.sharp, 0, 6);
        } else if (bool* flag = switch_named(o, a)) {
            *flag = true;
        } else if (std::string* text = text_named(o, a)) {
            ok = value(*text);
        } else if (a == "--encoder-opt") {
            std::string v;
            ok = value(v);
            const auto eq = v.find('=');
            if (ok && (eq == std::string::npos || eq == 0)) {
                error = "--encoder-opt takes KEY=VALUE, not '" + v + "'";
                ok = false;
            }
            if (ok) o.encoderOptions.emplace_back(v.substr(0, eq), v.substr(eq + 1));
        } else if (a == "--threads") {
            std::optional<int32_t> n;
            ok = ranged(n, 1, 256);
            if (ok) o.threads = *n;
        } else if (a == "--size") {
            std::string v;
            ok = value(v);
            const auto x = v.find('x');
            if (ok && (x == std::string::npos || !to_int(v.substr(0, x), 1, 32768, o.width) ||
                       !to_int(v.substr(x + 1), 1, 32768, o.height))) {
                error = "--size takes WIDTHxHEIGHT, each 1 to 32768, not '" + v + "'";
                ok = false;
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
            ok = false;
        } else {
            positional.push_back(a);
        }
        if (!ok) return std::nullopt;
    }
    if (positional.empty()) {
        error = "no command given (try: orv denoise INPUT OUTPUT)";
        return std::nullopt;
    }
    o.command = positional[0];
    if (o.command != "denoise") {
        error = "unknown command " + o.command;
        return std::nullopt;
    }
    if (positional.size() != 3) {
        error = "denoise takes INPUT and OUTPUT";
        return std::nullopt;
    }
    o.input = positional[1];
    o.output = positional[2];
    if (o.input == "-" && o.width == 0) {
        error = "raw input on stdin needs --size WxH";
        return std::nullopt;
    }
    return o;
}

}  // namespace orv::cli
