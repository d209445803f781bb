#include "cli/options.h"

#include <cstdlib>

namespace orv::cli {

const char* const kUsage =
    "usage: orv denoise INPUT OUTPUT [options]\n"
    "\n"
    "Denoises a video with the ORV filter module. INPUT and OUTPUT are any files\n"
    "ffmpeg reads and writes; '-' is raw 32-bit XRGB frames (ffmpeg's bgr0) on\n"
    "stdin or stdout, which needs --size.\n"
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
    "Input and output:\n"
    "  --size WxH           frame size of raw input\n"
    "  --rate R             frame rate of raw input (default 25)\n"
    "  --codec NAME         ffmpeg video codec for OUTPUT (default: ffmpeg's choice)\n"
    "  --force              overwrite an existing OUTPUT\n"
    "  --module PATH        the filter module (default: ORV_CUDA.so beside orv)\n"
    "  --quiet              no progress bar and no summary\n"
    "  --help               this text\n";

namespace {

bool to_int(const std::string& s, int32_t lo, int32_t hi, int32_t& out) {
    if (s.empty() || s.size() > 11) return false;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int32_t>(v);
    return true;
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
        } else if (a == "--config") {
            ok = value(o.configLine);
        } else if (a == "--f1") {
            ok = ranged(o.f1, 0, 100);
        } else if (a == "--f2") {
            ok = ranged(o.f2, 0, 100);
        } else if (a == "--sharp") {
            ok = ranged(o.sharp, 0, 6);
        } else if (a == "--interlace") {
            o.interlace = true;
        } else if (a == "--show-noise") {
            o.showNoise = true;
        } else if (a == "--disable") {
            o.disable = true;
        } else if (a == "--no-auto-profile") {
            o.noAutoProfile = true;
        } else if (a == "--force") {
            o.force = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--size") {
            std::string v;
            ok = value(v);
            const auto x = v.find('x');
            if (ok && (x == std::string::npos || !to_int(v.substr(0, x), 1, 32768, o.width) ||
                       !to_int(v.substr(x + 1), 1, 32768, o.height))) {
                error = "--size takes WIDTHxHEIGHT, each 1 to 32768, not '" + v + "'";
                ok = false;
            }
        } else if (a == "--rate") {
            ok = value(o.rate);
        } else if (a == "--codec") {
            ok = value(o.codec);
        } else if (a == "--module") {
            ok = value(o.modulePath);
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
