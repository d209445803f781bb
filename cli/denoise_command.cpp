#include "cli/denoise_command.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "cli/module_host.h"
#include "cli/progress.h"
#include "cli/video_io.h"
#include "core/filter_instance.h"

namespace orv::cli {

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
void on_signal(int) { gInterrupted = 1; }

constexpr int kBadInput = 2;
constexpr int kFailed = 1;

int fail(int code, const std::string& message) {
    std::fprintf(stderr, "orv: %s\n", message.c_str());
    return code;
}

// The output is written under this name beside the target and renamed only
// when complete, so an interrupted or failed run never leaves a half file
// under the user's name. The extension stays last: ffmpeg picks the format by it.
std::string partial_name(const std::string& output) {
    const fs::path p(output);
    return (p.parent_path() / (".orv-" + std::to_string(getpid()) + "-" + p.filename().string())).string();
}

// Settings from the plain options reach the instance as the script command
// would set them; the switches the script doesn't carry are set directly.
bool apply_settings(ModuleHost& host, const Options& o, std::string& error) {
    if (!o.configLine.empty()) {
        const auto call = parse_script_call(o.configLine, error);
        if (!call) {
            error = "bad --config \"" + o.configLine + "\": " + error;
            return false;
        }
        if (!module_replay(host, *call, error)) {
            error = "bad --config \"" + o.configLine + "\": " + error;
            return false;
        }
    }
    auto& fi = *static_cast<FilterInstance*>(module_instance(host));
    if (o.f1 || o.f2 || o.sharp || o.interlace) {
        const ScriptCall call{"Config", {o.f1.value_or(fi.f1), o.f2.value_or(fi.f2), o.sharp.value_or(fi.sharp),
                                         o.interlace ? 1 : fi.interlace, fi.multithreading}};
        if (!module_replay(host, call, error)) return false;
    }
    if (o.showNoise) fi.showNoise = 1;
    if (o.disable) fi.disable = 1;
    if (o.noAutoProfile) fi.autoProfile = 0;
    return true;
}

struct Run {
    Child decoder, encoder;
    FILE* in = nullptr;
    FILE* out = nullptr;
    std::string partial;
    ~Run() {
        if (decoder.pid > 0) {
            kill(decoder.pid, SIGTERM);
            finish_child(decoder);
        }
        if (encoder.pid > 0) finish_child(encoder);
        if (!partial.empty()) std::remove(partial.c_str());
    }
};

}  // namespace

int run_denoise(const Options& o, const std::string& defaultModulePath) {
    const bool rawIn = o.input == "-", rawOut = o.output == "-";
    if (!rawIn && access(o.input.c_str(), R_OK) != 0)
        return fail(kBadInput, "cannot read " + o.input + ": " + std::strerror(errno));
    if (!rawIn && fs::is_directory(o.input)) return fail(kBadInput, "cannot read " + o.input + ": it is a folder");
    if ((!rawIn || !rawOut) && (!program_exists("ffmpeg") || (!rawIn && !program_exists("ffprobe"))))
        return fail(kBadInput, "ffmpeg and ffprobe are needed for video files (Debian: apt-get install ffmpeg)");
    if (!rawOut) {
        std::error_code ec;
        if (fs::exists(o.output, ec) && !o.force)
            return fail(kBadInput, o.output + " exists; use --force to overwrite it");
        if (fs::is_directory(o.output, ec)) return fail(kBadInput, "cannot write " + o.output + ": it is a folder");
        const fs::path dir = fs::path(o.output).parent_path();
        const std::string d = dir.empty() ? "." : dir.string();
        if (access(d.c_str(), W_OK) != 0) return fail(kBadInput, "cannot write " + o.output + ": " + std::strerror(errno));
    }

    std::string error;
    const std::string modulePath = o.modulePath.empty() ? defaultModulePath : o.modulePath;
    ModuleHostPtr host = module_open(modulePath, error);
    if (!host) return fail(kFailed, error);
    if (!apply_settings(*host, o, error)) return fail(kBadInput, error);

    VideoInfo info;
    if (rawIn) {
        info.width = o.width;
        info.height = o.height;
        info.frameRate = o.rate;
    } else if (!probe_video(o.input, info, error)) {
        return fail(kBadInput, error);
    }
    if (o.width != 0 && !rawIn && (o.width != info.width || o.height != info.height))
        return fail(kBadInput, "--size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                                   " doesn't fit the input's " + std::to_string(info.width) + "x" +
                                   std::to_string(info.height) + " frames");
    const int64_t pixels = static_cast<int64_t>(info.width) * info.height;
    if (info.width > 32768 || info.height > 32768 || pixels > (int64_t{1} << 28))
        return fail(kBadInput, "frame size " + std::to_string(info.width) + "x" + std::to_string(info.height) +
                                   " doesn't fit the filter");

    Run run;
    if (rawIn) {
        run.in = stdin;
    } else {
        if (!start_decoder(o.input, run.decoder, error)) return fail(kFailed, error);
        run.in = run.decoder.pipe;
    }
    if (rawOut) {
        run.out = stdout;
    } else {
        run.partial = partial_name(o.output);
        std::vector<std::string> extra{"-an"};
        if (!o.codec.empty()) extra.insert(extra.end(), {"-c:v", o.codec});
        if (!start_encoder(run.partial, info, extra, run.encoder, error)) return fail(kFailed, error);
        run.out = run.encoder.pipe;
    }

    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGPIPE, SIG_IGN);

    if (module_start(*host, info.width, info.height) != 0)
        return fail(kFailed, "the filter could not start on " + std::to_string(info.width) + "x" +
                                 std::to_string(info.height) + " frames (out of memory?)");
    const auto& fi = *static_cast<const FilterInstance*>(module_instance(*host));
    const std::string route = fi.disable ? "pass-through" : (fi.gpu != nullptr ? "GPU" : "CPU");

    const size_t frameBytes = static_cast<size_t>(pixels) * 4;
    std::vector<uint32_t> src(static_cast<size_t>(pixels)), dst(static_cast<size_t>(pixels));
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(info.width) * 4;
    Progress progress;
    progress.enabled = !o.quiet && isatty(2);
    progress.total = rawIn ? -1 : info.frames;
    int64_t frames = 0;
    bool partialFrame = false;
    while (!gInterrupted && read_block(run.in, src.data(), frameBytes, partialFrame)) {
        if (module_run(*host, src.data(), pitch, dst.data(), pitch) != 0) {
            progress_clear(progress);
            return fail(kFailed, "the filter failed on frame " + std::to_string(frames) + " (out of memory?)");
        }
        if (!write_block(run.out, dst.data(), frameBytes)) {
            progress_clear(progress);
            return fail(kFailed, "cannot write " + o.output);
        }
        ++frames;
        progress_update(progress, frames);
    }
    progress_update(progress, frames, true);
    progress_clear(progress);
    module_end(*host);
    if (gInterrupted) return fail(kFailed, "interrupted; " + (rawOut ? std::string("output is incomplete") : o.output + " was not written"));
    if (partialFrame)
        return fail(kBadInput, "the input ended inside frame " + std::to_string(frames) + ": frames of " +
                                   std::to_string(info.width) + "x" + std::to_string(info.height) + " don't fit it");
    if (!rawIn && !finish_child(run.decoder)) return fail(kFailed, "ffmpeg could not decode " + o.input);
    if (rawOut) {
        if (std::fflush(stdout) != 0) return fail(kFailed, "cannot write to standard output");
    } else {
        if (!finish_child(run.encoder)) return fail(kFailed, "ffmpeg could not write " + o.output);
        std::error_code ec;
        fs::rename(run.partial, o.output, ec);
        if (ec) return fail(kFailed, "cannot write " + o.output + ": " + ec.message());
        run.partial.clear();
    }
    if (frames == 0) return fail(kBadInput, "no frames in " + (rawIn ? std::string("the input") : o.input));
    if (!o.quiet)
        std::fprintf(stderr, "%s\n", format_summary(frames, info.width, info.height, progress_seconds(progress), route).c_str());
    return 0;
}

}  // namespace orv::cli
