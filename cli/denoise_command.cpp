#include "cli/denoise_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "cli/cpu_count.h"
#include "cli/input/input.h"
#include "cli/module_host.h"
#include "cli/output/output.h"
#include "cli/output/output_libav.h"
#include "cli/output/partial_output.h"
#include "cli/output/sequence_files.h"
#include "cli/pipeline.h"
#include "cli/progress.h"
#include "cli/signals.h"
#include "core/filter_instance.h"

namespace orv::cli {

namespace fs = std::filesystem;

namespace {

// After a signal, a failure on the way out is the signal's doing: the
// stopped line says so instead (run_denoise).
int fail(int code, const std::string& message) {
    if (signal_received() == 0) std::fprintf(stderr, "orv: %s\n", message.c_str());
    return code;
}

void note(const Options& o, const std::string& line) {
    if (!o.quiet) std::fprintf(stderr, "orv: %s\n", line.c_str());
}

bool gVerboseLog = false;

// Damage that a reader only logs is counted; the libraries' own words reach
// the user only with --verbose, else only errors that stop the run, as orv's own line.
void libav_log(void* avcl, int level, const char* fmt, va_list vl) {
    va_list copy;
    va_copy(copy, vl);
    const bool setup = output_setup_takes_line(avcl, level, fmt, copy);
    va_end(copy);
    if (setup) return;
    va_copy(copy, vl);
    note_read_error(avcl, level, fmt, copy);
    va_end(copy);
    if (gVerboseLog) av_log_default_callback(avcl, level, fmt, vl);
}

void set_libav_logging(bool verbose) {
    gVerboseLog = verbose;
    av_log_set_level(verbose ? AV_LOG_INFO : AV_LOG_ERROR);
    av_log_set_callback(libav_log);
    // SVT-AV1 prints its banner itself, past libav's log; this asks it
    // for errors only (before any thread runs, and never over the user's).
    if (!verbose) setenv("SVT_LOG", "1", 0);
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// An input file that the output would write over, under any name: every
// file of a pattern is compared with every file of the other.
std::string written_over_input(const Options& o) {
    if (o.input == "-" || names_a_stream(o.input)) return {};
    const auto inputs = existing_files(o.input);
    for (const SequenceFile& out : existing_files(o.output))
        for (const SequenceFile& in : inputs)
            if (same_file(in.path, out.path))
                return o.output + (out.path == o.output ? std::string(" is the input itself")
                                                        : " would write over the input's " + in.path) +
                       "; orv never writes over its input";
    return {};
}

// Files the output would write that exist: for a pattern, every file of it
// from number 1 on, as the sequence's length is known only at its end.
std::vector<SequenceFile> in_the_way(const std::string& output) {
    auto files = existing_files(output);
    if (is_sequence_pattern(output))
        files.erase(std::remove_if(files.begin(), files.end(), [](const SequenceFile& f) { return f.number < 1; }), files.end());
    return files;
}

// Refusals that need no reading: an input that isn't there, an output that
// would overwrite something. Empty when the paths are fine.
std::string check_paths(const Options& o) {
    const bool rawIn = o.input == "-" || names_a_stream(o.input);
    if (!rawIn && !is_sequence_pattern(o.input) && access(o.input.c_str(), R_OK) != 0)
        return "cannot read " + o.input + ": " + std::strerror(errno);
    if (!rawIn && fs::is_directory(o.input)) return "cannot read " + o.input + ": it is a folder";
    if (o.output == "-") return {};
    std::string error;
    if (!output_format_known(o.output, o.format, error) || !encoder_values_fit(o, error)) return error;
    if (names_a_stream(o.output)) return {};
    if (std::string over = written_over_input(o); !over.empty()) return over;
    const auto there = in_the_way(o.output);
    if (!there.empty() && !o.force)
        return name_some(there) + (there.size() == 1 ? " exists" : " exist") + "; use --force to overwrite " +
               (there.size() == 1 ? "it" : "them");
    std::error_code ec;
    for (const SequenceFile& f : there)
        if (fs::is_directory(f.path, ec)) return "cannot write " + f.path + ": it is a folder";
    const fs::path dir = fs::path(o.output).parent_path();
    const std::string d = dir.empty() ? "." : dir.string();
    if (access(d.c_str(), W_OK) != 0) return "cannot write " + o.output + ": " + std::strerror(errno);
    return {};
}

// Interlaced input is filtered field by field unless the user says
// otherwise; nullopt leaves the script line's or the default setting.
std::optional<bool> fields_apart(const Options& o, const VideoShape& shape, std::vector<std::string>& notes) {
    if (o.settings[kSetting.interlace] || o.noInterlace) return !o.noInterlace;
    if (!interlaced(shape.fieldOrder)) return std::nullopt;
    notes.push_back("the input is interlaced: its fields are filtered apart (--no-interlace filters whole frames)");
    return true;
}

// Settings from the plain options reach the instance as the script command
// would set them; the switches the script doesn't carry are set directly.
bool apply_settings(ModuleHost& host, const Options& o, std::optional<bool> fields, std::string& error) {
    if (!o.configLine.empty()) {
        const auto call = parse_script_call(o.configLine, error);
        if (!call || !module_replay(host, *call, error)) {
            error = "bad --config \"" + o.configLine + "\": " + error;
            return false;
        }
    }
    auto& fi = *static_cast<FilterInstance*>(module_instance(host));
    int32_t args[kScriptArgCount] = {};
    bool scripted = fields.has_value();
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingRow& s = kSettings[i];
        if (s.script > 0) args[s.script - 1] = o.settings[i].value_or(fi.*s.member);
        if (s.script > 0 && o.settings[i]) scripted = true;
    }
    if (fields) args[kSettings[kSetting.interlace].script - 1] = *fields ? 1 : 0;
    if (scripted && !module_replay(host, ScriptCall{"Config", {std::begin(args), std::end(args)}}, error)) return false;
    for (size_t i = 0; i < kSettingCount; ++i)
        if (kSettings[i].script == 0 && o.settings[i]) fi.*kSettings[i].member = *o.settings[i];
    return true;
}

// Further instances live in the module the first one loaded: they go first.
struct Workers : std::vector<std::unique_ptr<Worker>> {
    ~Workers() {
        while (!empty()) pop_back();
    }
};

// Everything one run holds, released in the reverse order: the pipeline's
// frames, the filter instances, the output (closing its file), the hidden
// output's removal, the input.
struct Run {
    Input in;
    PartialOutput partial;
    Output out;
    Workers workers;
    std::optional<bool> fields;
    std::vector<std::string> notes;
    PipelinePtr p;
    PipelineOutcome done;  // once the pipeline has ended
    Progress progress;
};

int open_input(Run& r, const Options& o) {
    r.in.stop = &signal_flag();
    r.in.stopping = [&r] { return r.p != nullptr && pipeline_stopping(*r.p); };
    std::string error;
    if (!input_open(r.in, o, r.notes, error)) return fail(kBadInput, error);
    r.fields = fields_apart(o, r.in.shape, r.notes);
    return kDone;
}

int open_output(Run& r, const Options& o) {
    r.out.kind = &output_pick(o);
    r.out.name = o.output;
    r.out.stop = &signal_flag();
    std::string error;
    // A stream (pipe:1) is written as it goes: there is nothing to hide or move.
    if (!r.out.kind->writesXrgb && !names_a_stream(o.output)) {
        for (const std::string& stale : remove_stale_partials(o.output))
            r.notes.push_back("removed " + stale + ", left by an orv run that was killed while writing " + o.output);
        r.partial.make(o.output, o.force);
        if (!r.partial.prepare(error)) return fail(kFailed, error);
    }
    if (!r.partial.sequence) signals_arm_tail_stop(o.output, r.partial.writePath);
    if (signal_received() != 0) return fail(kFailed, "stopped");  // one that came before the handler could act
    const std::string& to = r.partial.finalName.empty() ? o.output : r.partial.writePath;
    if (!r.out.kind->open(r.out, r.in, o, to, r.notes, error)) return fail(kBadInput, error);
    return kDone;
}

// One instance per thread on the CPU route, which keeps nothing from frame
// to frame; the GPU route keeps its noise estimate, so it runs alone.
int start_workers(Run& r, const Options& o, ModuleHostPtr first) {
    const int w = r.in.shape.width, h = r.in.shape.height;
    std::string error;
    r.workers.push_back(std::make_unique<Worker>());
    r.workers[0]->host = std::move(first);
    if (module_start(*r.workers[0]->host, w, h) != 0)
        return fail(kFailed, "the filter could not start on " + std::to_string(w) + "x" + std::to_string(h) +
                                 " frames (out of memory?)");
    const auto& fi0 = *static_cast<const FilterInstance*>(module_instance(*r.workers[0]->host));
    if (o.verbose && fi0.gpu == nullptr && fi0.disable == 0)
        r.notes.push_back("the GPU route has no context (no NVIDIA driver or device, or a module without GPU kernels); "
                          "the CPU route takes every frame");
    const int threads =
        !module_parallel_safe(*r.workers[0]->host) ? 1 : (o.threads > 0 ? o.threads : usable_cpu_count());
    if (o.verbose)
        r.notes.push_back("the filter runs as " + module_script_string(*r.workers[0]->host) + " on " +
                          std::to_string(threads) + (threads == 1 ? " thread" : " threads") +
                          "; the CPU route's kernels are the " + module_kernel_set(*r.workers[0]->host) + " set");
    for (int i = 1; i < threads; ++i) {
        auto worker = std::make_unique<Worker>();
        worker->host = module_add_instance(*r.workers[0]->host, error);
        if (!worker->host) return fail(kFailed, error);
        if (!apply_settings(*worker->host, o, r.fields, error)) return fail(kBadInput, error);
        if (module_start(*worker->host, w, h) != 0) return fail(kFailed, "the filter could not start another instance (out of memory?)");
        r.workers.push_back(std::move(worker));
    }
    const size_t pixels = static_cast<size_t>(w) * h;
    for (auto& worker : r.workers) {
        worker->src.resize(pixels);
        worker->dst.resize(pixels);
        if (r.out.rotation != 0) worker->turned.resize(pixels);
    }
    return kDone;
}

// A signal stops the run at any point before the output is moved into
// place: nothing is left under its name and the exit is the signal's. The
// partial output goes first, and the process ends at once with every
// thread: one that a blocking read in the kernel holds, the encoder's.
void stop_if_signalled(Run& r, const Options& o) {
    if (signal_received() == 0) return;
    progress_clear(r.progress);
    r.partial.discard();
    _exit(signals_report_stop(o.output));
}

void run_pipeline(Run& r, const Options& o) {
    r.p = pipeline_make({.in = &r.in,
                         .out = &r.out,
                         .alpha = output_keeps_alpha(r.out, r.in.shape.format),
                         .onePicture = r.out.singlePicture,
                         .handOn = o.settings[kSetting.disable].value_or(0) != 0,
                         .signal = &signal_flag(),
                         .maxInFlight = r.workers.size() * 2 + 2});
    r.progress.enabled = !o.quiet && isatty(2);
    r.progress.total = r.in.kind->frame_count(r.in);
    std::vector<std::thread> threads = pipeline_start(*r.p, r.workers);
    pipeline_write(*r.p, r.progress);
    stop_if_signalled(r, o);
    for (auto& t : threads) t.join();
    for (auto& w : r.workers) module_end(*w->host);
    r.done = pipeline_outcome(*r.p);
    stop_if_signalled(r, o);
}

// Drains the encoder, writes the trailer and moves the output into place.
int finish_output(Run& r, const Options& o) {
    std::string error;
    const bool tailStop = !r.partial.sequence;
    r.out.onPacket = [&r](int64_t n) { progress_update(r.progress, n); };
    const bool finished = r.out.kind->finish(r.out, error);
    progress_update(r.progress, r.out.kind->frames_done(r.out, r.done.written), true);
    progress_clear(r.progress);
    if (tailStop && !signals_disarm_tail_stop())
        for (;;) pause();  // the handler is removing the file and ending the run
    stop_if_signalled(r, o);
    if (!finished) return fail(kFailed, "cannot write " + o.output + ": " + error);
    if (!r.partial.finalName.empty() && !r.partial.commit(error)) return fail(kFailed, error);
    // With --force a sequence replaces the one there: the older one's files
    // past the new end would read as part of it.
    if (r.partial.sequence)
        if (const auto gone = remove_past(o.output, r.done.written); !gone.empty())
            note(o, "removed " + name_some(gone) + ": files of " + o.output + " past its new last frame");
    // From here the output is complete, closed and under its name: a
    // signal now stops nothing, and the exit says what is on disk.
    if (signal_received() != 0)
        note(o, std::string(strsignal(signal_received())) + " came after " + o.output + " was complete; it is kept");
    return kDone;
}

// Each reason the GPU route gave for leaving frames to the CPU route, once.
void note_declines(const Options& o, const PipelineOutcome& p) {
    for (const auto& [reason, frames] : p.declines) {
        const size_t space = reason.rfind(' ');
        note(o, "the GPU route declined " + std::to_string(frames) + " frame" + (frames == 1 ? "" : "s") + ": " +
                    reason.substr(0, space) + " returned " + reason.substr(space + 1) + "; the CPU route took " +
                    (frames == 1 ? "it" : "them"));
    }
}

int denoise(const Options& o, const std::string& defaultModulePath) {
    set_libav_logging(o.verbose);
    if (const std::string refused = check_paths(o); !refused.empty()) return fail(kBadInput, refused);
    std::string error;
    // The module reads its cap on the kernels as it loads.
    if (!o.kernelSet.empty()) setenv("ORV_KERNEL_SET", o.kernelSet.c_str(), 1);
    ModuleHostPtr host = module_open(o.modulePath.empty() ? defaultModulePath : o.modulePath, error);
    if (!host) return fail(kFailed, error);
    // Signals are caught from here on: every thread looks at the flag, and
    // the temporary output is removed on the way out.
    signals_catch();
    Run r;
    if (const int c = open_input(r, o); c != kDone) return c;
    if (!apply_settings(*host, o, r.fields, error)) return fail(kBadInput, error);
    if (const std::string n = config_beyond_ranges(o); !n.empty()) r.notes.push_back(n);
    if (const int c = open_output(r, o); c != kDone) return c;
    if (const int c = start_workers(r, o, std::move(host)); c != kDone) return c;
    for (const auto& n : r.notes) note(o, n);
    run_pipeline(r, o);
    if (!r.done.failure.empty()) return (progress_clear(r.progress), fail(r.done.failureCode, r.done.failure));
    if (o.verbose) note_declines(o, r.done);
    const std::string damage = r.in.kind->damage(r.in);
    if (r.done.written == 0)
        return progress_clear(r.progress), fail(kBadInput, !damage.empty() ? damage : "no frames in " + (o.input == "-" ? std::string("the input") : o.input));
    if (const int c = finish_output(r, o); c != kDone) return c;
    if (r.done.moreThanOne) note(o, o.output + " holds one picture: the first frame was written");
    if (const std::string t = r.out.kind->timing_note(r.out); !t.empty()) note(o, t);
    if (!o.quiet)
        std::fprintf(stderr, "%s\n", format_summary(r.done.written, r.in.shape.width, r.in.shape.height,
                                                    progress_seconds(r.progress), r.done.routes).c_str());
    if (damage.empty()) return kDone;
    std::fprintf(stderr, "orv: %s; %lld frames were written\n", damage.c_str(), static_cast<long long>(r.done.written));
    return kDamagedInput;
}

}  // namespace

int run_denoise(const Options& o, const std::string& defaultModulePath) {
    signals_reset();
    const int code = denoise(o, defaultModulePath);
    // 0 and 3 mean the output is complete under its name, whenever a signal came.
    return code == kDone || code == kDamagedInput || signal_received() == 0 ? code : signals_report_stop(o.output);
}

}  // namespace orv::cli
