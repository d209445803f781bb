#include "cli/denoise_command.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavutil/log.h>
#include <libavutil/parseutils.h>
}

#include "cli/media.h"
#include "cli/module_host.h"
#include "cli/progress.h"
#include "core/filter_instance.h"

namespace orv::cli {

namespace fs = std::filesystem;

namespace {

// The signal that stopped the run, 0 while running. Every loop of every
// thread looks at it, and libav's blocking reads through their interrupt hook.
std::atomic<int> gSignal{0};

std::string stopped_line(int sig, const std::string& output) {
    return std::string("orv: stopped by ") + strsignal(sig) + "; " +
           (output == "-" ? "the output is incomplete" : output + " was not written") + "\n";
}

// While the encoder drains and the trailer is written, the main thread may
// sit in one encoder call for longer than a stop may take: the handler then
// ends the run itself, with only async-signal-safe calls on text made before.
struct TailStop {
    std::atomic<int> state{0};  // 1 armed; 2 a handler is ending the run
    bool disarm() {  // false when a handler has taken over
        int armed = 1;
        return state.compare_exchange_strong(armed, 0);
    }
    const char* tempFile = nullptr;
    std::string lines[3];  // SIGHUP, SIGINT, SIGTERM
    static int slot(int sig) { return sig == SIGHUP ? 0 : sig == SIGINT ? 1 : 2; }
};
TailStop gTail;

void on_signal(int sig) {
    gSignal.store(sig);
    int armed = 1;
    if (!gTail.state.compare_exchange_strong(armed, 2)) return;
    unlink(gTail.tempFile);
    const std::string& line = gTail.lines[TailStop::slot(sig)];
    [[maybe_unused]] const ssize_t n = write(2, line.data(), line.size());
    _exit(128 + sig);
}

constexpr int kBadInput = 2;
constexpr int kFailed = 1;

// Says what a signal left behind; the exit code for it.
int run_denoise_stopped(const std::string& output) {
    const int sig = gSignal.load();
    std::fputs(stopped_line(sig, output).c_str(), stderr);
    std::fflush(stderr);
    return 128 + sig;
}

// After a signal, a failure on the way out is the signal's doing: the
// stopped line says so instead (run_denoise).
int fail(int code, const std::string& message) {
    if (gSignal.load() == 0) std::fprintf(stderr, "orv: %s\n", message.c_str());
    return code;
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

// The output is written beside the target under a hidden name (a hidden
// folder for picture sequences) and moved into place only when complete, so
// a failed or stopped run never leaves a half file under the user's name.
// The extension stays last: it names the format.
struct PartialOutput {
    std::string finalName, writePath, folder;
    bool sequence = false;
    ~PartialOutput() { discard(); }
    void make(const std::string& output) {
        finalName = output;
        const fs::path p(output);
        const std::string tag = ".orv-" + std::to_string(getpid());
        sequence = is_sequence_pattern(output);
        if (sequence) {
            folder = (p.parent_path() / tag).string();
            writePath = (fs::path(folder) / p.filename()).string();
        } else {
            writePath = (p.parent_path() / (tag + "-" + p.filename().string())).string();
        }
    }
    bool prepare(std::string& error) {
        std::error_code ec;
        if (sequence && !fs::create_directory(folder, ec)) return (error = "cannot write " + finalName + ": " + ec.message(), false);
        return true;
    }
    bool commit(std::string& error) {
        std::error_code ec;
        if (!sequence) {
            fs::rename(writePath, finalName, ec);
        } else {
            const fs::path dest = fs::path(finalName).parent_path();
            for (const auto& e : fs::directory_iterator(folder, ec)) {
                fs::rename(e.path(), dest / e.path().filename(), ec);
                if (ec) break;
            }
            if (!ec) fs::remove(folder, ec);
        }
        if (ec) return (error = "cannot write " + finalName + ": " + ec.message(), false);
        writePath.clear();
        folder.clear();
        return true;
    }
    void discard() noexcept {
        std::error_code ec;
        if (!folder.empty()) fs::remove_all(folder, ec);
        else if (!writePath.empty()) fs::remove(writePath, ec);
        writePath.clear();
        folder.clear();
    }
};

// One frame on its way: read, then filtered and converted by any worker,
// then written in reading order.
struct Job {
    AVFrame* in = nullptr;
    AVFrame* out = nullptr;         // for the encoder
    std::vector<uint32_t> xrgb;     // for raw output
    bool done = false;
    ~Job() {
        av_frame_free(&in);
        av_frame_free(&out);
    }
};

// What the writer takes next, in reading order: a frame or a copied packet.
struct Item {
    std::shared_ptr<Job> job;
    AVPacket* pkt = nullptr;
};

struct Worker {
    ModuleHostPtr host;
    ToXrgb toXrgb;
    FromXrgb fromXrgb;
    std::vector<uint32_t> src, dst, turned;
};

struct Pipeline {
    std::mutex m;
    std::condition_variable changed;
    std::deque<Item> items;                 // for the writer, in order
    std::deque<std::shared_ptr<Job>> todo;  // for the workers
    size_t inFlight = 0;                    // frames read and not yet written
    size_t maxInFlight = 4;
    bool readerDone = false;
    std::atomic<int> stop{0};  // a failure or a signal: every thread leaves
    std::string failure;
    int failureCode = kFailed;
    std::atomic<int64_t> routes[3] = {0, 0, 0};
    FramePool outFrames;

    ~Pipeline() {
        for (auto& i : items) av_packet_free(&i.pkt);
    }

    void fail_with(int code, const std::string& text) {
        {
            std::lock_guard<std::mutex> l(m);
            if (failure.empty()) {
                failure = text;
                failureCode = code;
            }
        }
        stop.store(1);
        changed.notify_all();
    }
    bool stopping() const { return stop.load() != 0 || gSignal.load() != 0; }
    // Waits a little at a time so that a signal is seen within a tenth of a second.
    template <class Pred>
    bool wait(std::unique_lock<std::mutex>& l, Pred ready) {
        while (!ready()) {
            if (stopping()) return false;
            changed.wait_for(l, std::chrono::milliseconds(50));
        }
        return true;
    }
};

struct Geometry {
    int w = 0, h = 0;
    bool alpha = false;  // the input's alpha rides in the top byte to the output
};

// Reads raw XRGB frames from stdin without blocking past a signal.
bool read_raw_frame(AVFrame* f, size_t bytes, bool& partial, Pipeline& p) {
    auto* d = f->data[0];
    size_t got = 0;
    partial = false;
    while (got < bytes) {
        if (p.stopping()) return false;
        pollfd pfd{0, POLLIN, 0};
        const int pr = poll(&pfd, 1, 50);
        if (pr < 0 && errno != EINTR) return false;
        if (pr <= 0) continue;
        const ssize_t n = read(0, d + got, bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            partial = got != 0;
            return false;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

void filter_frame(Worker& w, Job& job, const Geometry& g, const Sink* sink, Pipeline& p) {
    const size_t pixels = static_cast<size_t>(g.w) * g.h;
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(g.w) * 4;
    uint32_t* src;
    ptrdiff_t srcPitch = pitch;
    if (job.in->format == AV_PIX_FMT_BGR0 || (g.alpha && job.in->format == AV_PIX_FMT_BGRA)) {
        src = reinterpret_cast<uint32_t*>(job.in->data[0]);
        srcPitch = job.in->linesize[0];
    } else {
        if (!w.toXrgb.convert(job.in, w.src.data(), pitch, g.alpha))
            return p.fail_with(kFailed, "cannot convert the frames' pixel format to XRGB");
        src = w.src.data();
    }
    uint32_t* dst = sink == nullptr ? (job.xrgb.resize(pixels), job.xrgb.data()) : w.dst.data();
    if (module_run(*w.host, src, srcPitch, dst, pitch) != 0)
        return p.fail_with(kFailed, "the filter failed on a frame (out of memory?)");
    const auto& fi = *static_cast<const FilterInstance*>(module_instance(*w.host));
    if (fi.lastRoute >= 0 && fi.lastRoute < 3) p.routes[fi.lastRoute].fetch_add(1);
    if (g.alpha)  // the filter works on colour; the alpha goes out as it came
        for (int y = 0; y < g.h; ++y) {
            const auto* s = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + y * srcPitch);
            for (int x = 0; x < g.w; ++x) {
                uint32_t& d = dst[static_cast<size_t>(y) * g.w + x];
                d = (d & 0x00FFFFFFu) | (s[x] & 0xFF000000u);
            }
        }
    if (sink == nullptr) return;
    const uint32_t* picture = dst;
    ptrdiff_t picturePitch = pitch;
    if (sink->rotate != 0) {
        rotate_xrgb(dst, pitch, g.w, g.h, sink->rotate, w.turned.data());
        picture = w.turned.data();
        picturePitch = static_cast<ptrdiff_t>(sink->enc->width) * 4;
    }
    AVFrame* out = av_frame_alloc();
    job.out = out;
    if (out == nullptr) return p.fail_with(kFailed, "out of memory");
    out->format = sink->enc->pix_fmt;
    out->width = sink->enc->width;
    out->height = sink->enc->height;
    out->colorspace = sink->enc->colorspace;
    out->color_range = sink->enc->color_range;
    out->color_primaries = sink->enc->color_primaries;
    out->color_trc = sink->enc->color_trc;
    out->chroma_location = sink->enc->chroma_sample_location;
    out->sample_aspect_ratio = sink->enc->sample_aspect_ratio;
    out->pts = job.in->pts;
    out->interlaced_frame = job.in->interlaced_frame;
    out->top_field_first = job.in->top_field_first;
    if (!p.outFrames.get(out)) return p.fail_with(kFailed, "out of memory");
    if (!w.fromXrgb.convert(picture, picturePitch, g.alpha, out))
        p.fail_with(kFailed, "cannot convert the frames to the output's pixel format");
}

void worker_loop(Worker& w, const Geometry& g, const Sink* sink, Pipeline& p) {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> l(p.m);
            if (!p.wait(l, [&] { return !p.todo.empty() || p.readerDone; })) return;
            if (p.todo.empty()) return;
            job = p.todo.front();
            p.todo.pop_front();
        }
        filter_frame(w, *job, g, sink, p);
        {
            std::lock_guard<std::mutex> l(p.m);
            job->done = true;
        }
        p.changed.notify_all();
    }
}

struct ReadSide {
    Source* source = nullptr;  // null for raw frames on stdin
    int w = 0, h = 0;
    AVRational rawTimeBase{1, 25};
    bool onePicture = false;  // the output takes one frame only
    std::atomic<bool> moreThanOne{false};
    std::atomic<int64_t> framesRead{0};
};

void reader_loop(ReadSide& r, Pipeline& p) {
    const auto push = [&](Item item, bool isFrame) {
        std::unique_lock<std::mutex> l(p.m);
        if (isFrame && !p.wait(l, [&] { return p.inFlight < p.maxInFlight; })) return false;
        if (isFrame) {
            ++p.inFlight;
            p.todo.push_back(item.job);
        }
        p.items.push_back(std::move(item));
        l.unlock();
        p.changed.notify_all();
        return true;
    };
    const auto finish = [&] {
        {
            std::lock_guard<std::mutex> l(p.m);
            p.readerDone = true;
        }
        p.changed.notify_all();
    };
    int64_t n = 0;
    std::string error;
    AVPacket* pkt = av_packet_alloc();
    for (;;) {
        if (p.stopping()) break;
        auto job = std::make_shared<Job>();
        job->in = av_frame_alloc();
        if (job->in == nullptr || pkt == nullptr) {
            p.fail_with(kFailed, "out of memory");
            break;
        }
        if (r.source == nullptr) {
            AVFrame* f = job->in;
            f->format = AV_PIX_FMT_BGR0;
            f->width = r.w;
            f->height = r.h;
            if (av_frame_get_buffer(f, 1) < 0) {
                p.fail_with(kFailed, "out of memory");
                break;
            }
            bool partial = false;
            if (!read_raw_frame(f, static_cast<size_t>(r.w) * r.h * 4, partial, p)) {
                if (partial)
                    p.fail_with(kBadInput, "the input ended inside frame " + std::to_string(n) + ": frames of " +
                                               std::to_string(r.w) + "x" + std::to_string(r.h) + " don't fit it");
                break;
            }
            f->pts = n;
        } else {
            const SourceItem what = source_next(*r.source, job->in, pkt, error);
            if (what == SourceItem::End) break;
            if (what == SourceItem::Error) {
                if (!p.stopping()) p.fail_with(kFailed, error);
                break;
            }
            if (what == SourceItem::Packet) {
                AVPacket* copy = av_packet_alloc();
                if (copy == nullptr) {
                    p.fail_with(kFailed, "out of memory");
                    break;
                }
                av_packet_move_ref(copy, pkt);
                if (!push(Item{nullptr, copy}, false)) {
                    av_packet_free(&copy);
                    break;
                }
                continue;
            }
            AVFrame* f = job->in;
            if (f->width != r.w || f->height != r.h) {
                p.fail_with(kFailed, "the video's frame size changes at frame " + std::to_string(n) + " (" +
                                         std::to_string(f->width) + "x" + std::to_string(f->height) +
                                         "); orv keeps one size");
                break;
            }
            f->pts = f->best_effort_timestamp;
        }
        if (r.onePicture && n == 1) {
            r.moreThanOne = true;
            break;
        }
        if (!push(Item{job, nullptr}, true)) break;
        r.framesRead = ++n;
    }
    av_packet_free(&pkt);
    finish();
}

// The writer: takes items in reading order; frames once a worker is done.
void write_loop(Pipeline& p, Sink* sink, Source* source, Progress& progress, int64_t& written, bool rawOut,
                const std::string& outputName) {
    std::string error;
    int64_t lastPts = AV_NOPTS_VALUE;
    for (;;) {
        Item item;
        {
            std::unique_lock<std::mutex> l(p.m);
            if (!p.wait(l, [&] { return (!p.items.empty() && (p.items.front().pkt != nullptr || p.items.front().job->done)) ||
                                        (p.items.empty() && p.readerDone); }))
                return;
            if (p.items.empty()) return;
            item = std::move(p.items.front());
            p.items.pop_front();
            if (item.job) --p.inFlight;
        }
        p.changed.notify_all();
        if (item.pkt != nullptr) {
            const bool ok = sink == nullptr || sink_write_copy(*sink, *source, item.pkt, error);
            av_packet_free(&item.pkt);
            if (!ok) return p.fail_with(kFailed, "cannot write " + outputName + ": " + error);
            continue;
        }
        if (p.stopping()) return;
        if (rawOut) {
            const auto& x = item.job->xrgb;
            const uint8_t* b = reinterpret_cast<const uint8_t*>(x.data());
            size_t left = x.size() * 4;
            while (left > 0) {
                const ssize_t n = write(1, b, left);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) return p.fail_with(kFailed, std::string("cannot write to standard output: ") + std::strerror(errno));
                b += n;
                left -= static_cast<size_t>(n);
            }
        } else {
            AVFrame* f = item.job->out;
            // Frames without a time of their own follow the one before.
            if (f->pts == AV_NOPTS_VALUE) f->pts = lastPts == AV_NOPTS_VALUE ? 0 : lastPts + 1;
            if (lastPts != AV_NOPTS_VALUE && f->pts <= lastPts) f->pts = lastPts + 1;
            lastPts = f->pts;
            if (!sink_write_frame(*sink, f, error)) return p.fail_with(kFailed, "cannot write " + outputName + ": " + error);
        }
        ++written;
        progress_update(progress, written);
    }
}

std::string route_summary(const Pipeline& p) {
    const char* names[3] = {"pass-through", "CPU", "GPU"};
    std::string s;
    for (int r : {2, 1, 0}) {
        const int64_t n = p.routes[r].load();
        if (n == 0) continue;
        if (!s.empty()) s += ", ";
        s += std::string(names[r]) + " " + std::to_string(n);
    }
    return s.empty() ? "none" : s;
}

void quiet_libav_log(void*, int level, const char* fmt, va_list args) {
    // Only errors that stop the run reach the user, and those as orv's own line.
    (void)level;
    (void)fmt;
    (void)args;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int denoise(const Options& o, const std::string& defaultModulePath) {
    if (o.verbose) {
        av_log_set_level(AV_LOG_INFO);
    } else {
        av_log_set_level(AV_LOG_QUIET);
        av_log_set_callback(quiet_libav_log);
    }
    const bool rawIn = o.input == "-", rawOut = o.output == "-";
    const bool inPattern = !rawIn && is_sequence_pattern(o.input);
    if (!rawIn && !inPattern && access(o.input.c_str(), R_OK) != 0)
        return fail(kBadInput, "cannot read " + o.input + ": " + std::strerror(errno));
    if (!rawIn && fs::is_directory(o.input)) return fail(kBadInput, "cannot read " + o.input + ": it is a folder");
    std::string error;
    if (!rawOut) {
        if (!output_format_known(o.output, error)) return fail(kBadInput, error);
        std::error_code ec;
        const bool sequence = is_sequence_pattern(o.output);
        std::string first = o.output;
        if (sequence) {
            char buf[4096];
            if (av_get_frame_filename(buf, sizeof buf, o.output.c_str(), 1) == 0) first = buf;
        }
        if (!rawIn && same_file(o.input, first))
            return fail(kBadInput, o.output + " is the input itself; orv never writes over its input");
        if (fs::exists(first, ec) && !o.force) return fail(kBadInput, first + " exists; use --force to overwrite it");
        if (fs::is_directory(first, ec)) return fail(kBadInput, "cannot write " + o.output + ": it is a folder");
        const fs::path dir = fs::path(o.output).parent_path();
        const std::string d = dir.empty() ? "." : dir.string();
        if (access(d.c_str(), W_OK) != 0) return fail(kBadInput, "cannot write " + o.output + ": " + std::strerror(errno));
    }

    const std::string modulePath = o.modulePath.empty() ? defaultModulePath : o.modulePath;
    ModuleHostPtr host = module_open(modulePath, error);
    if (!host) return fail(kFailed, error);
    if (!apply_settings(*host, o, error)) return fail(kBadInput, error);

    // Signals are caught from here on: every thread looks at the flag, and
    // the temporary output is removed on the way out.
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);  // a file size limit shows as a write error

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    Source source;
    source.stop = &gSignal;
    ReadSide reader;
    VideoShape shape;
    if (rawIn) {
        reader.w = shape.width = o.width;
        reader.h = shape.height = o.height;
        AVRational rate{};
        if (av_parse_video_rate(&rate, o.rate.c_str()) < 0 || rate.num <= 0)
            return fail(kBadInput, "--rate takes a frame rate such as 25 or 30000/1001, not '" + o.rate + "'");
        shape.frameRate = rate;
        shape.timeBase = av_inv_q(rate);
    } else {
        if (!source_open(source, o.input, nullptr, 0, error)) return fail(kBadInput, error);
        reader.source = &source;
        const AVStream* st = source.fmt->streams[source.video];
        reader.w = shape.width = st->codecpar->width;
        reader.h = shape.height = st->codecpar->height;
        shape.format = static_cast<AVPixelFormat>(st->codecpar->format);
        shape.timeBase = st->time_base;
        shape.frameRate = st->avg_frame_rate.num > 0 ? st->avg_frame_rate : st->r_frame_rate;
        if (shape.frameRate.num <= 0) shape.frameRate = {25, 1};
        if (o.width != 0 && (o.width != shape.width || o.height != shape.height))
            return fail(kBadInput, "--size " + std::to_string(o.width) + "x" + std::to_string(o.height) +
                                       " doesn't fit the input's " + std::to_string(shape.width) + "x" +
                                       std::to_string(shape.height) + " frames");
    }
    const int64_t pixels = static_cast<int64_t>(shape.width) * shape.height;
    if (shape.width > 32768 || shape.height > 32768 || pixels > (int64_t{1} << 28))
        return fail(kBadInput, "frame size " + std::to_string(shape.width) + "x" + std::to_string(shape.height) +
                                   " doesn't fit the filter");

    std::vector<std::string> notes;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(shape.format);
    if (!rawIn && desc != nullptr && desc->comp[0].depth > 8)
        notes.push_back("the filter works in 8 bits; the input's " + std::to_string(desc->comp[0].depth) +
                        "-bit frames are filtered at 8 bits and encoded back at " +
                        std::to_string(desc->comp[0].depth) + " bits");

    PartialOutput partial;
    Sink sinkStore;
    Sink* sink = nullptr;
    sinkStore.stop = &gSignal;
    if (!rawOut) {
        partial.make(o.output);
        if (!partial.prepare(error)) return fail(kFailed, error);
        EncoderChoice choice{o.codec, o.crf, o.preset, o.pixFmt, o.encoderOptions, o.verbose};
        if (!sink_open(sinkStore, o.output, partial.writePath, rawIn ? nullptr : &source, shape, choice, notes, error))
            return fail(kBadInput, error);
        sink = &sinkStore;
        reader.onePicture = sink->singlePicture;
    }
    Geometry g{shape.width, shape.height, false};
    if (sink != nullptr && desc != nullptr) {
        const AVPixFmtDescriptor* od = av_pix_fmt_desc_get(sink->enc->pix_fmt);
        g.alpha = (desc->flags & AV_PIX_FMT_FLAG_ALPHA) != 0 && od != nullptr && (od->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
    }

    // One instance per thread on the CPU route, which keeps nothing from frame
    // to frame; the GPU route keeps its noise estimate, so it runs alone.
    struct Workers : std::vector<std::unique_ptr<Worker>> {
        // Further instances live in the module the first one loaded.
        ~Workers() {
            while (!empty()) pop_back();
        }
    } workers;
    workers.push_back(std::make_unique<Worker>());
    workers[0]->host = std::move(host);
    if (module_start(*workers[0]->host, shape.width, shape.height) != 0)
        return fail(kFailed, "the filter could not start on " + std::to_string(shape.width) + "x" +
                                 std::to_string(shape.height) + " frames (out of memory?)");
    const auto& fi0 = *static_cast<const FilterInstance*>(module_instance(*workers[0]->host));
    const int threads = fi0.gpu != nullptr ? 1 : (o.threads > 0 ? o.threads : static_cast<int>(cores));
    for (int i = 1; i < threads; ++i) {
        auto w = std::make_unique<Worker>();
        w->host = module_add_instance(*workers[0]->host, error);
        if (!w->host) return fail(kFailed, error);
        if (!apply_settings(*w->host, o, error)) return fail(kBadInput, error);
        if (module_start(*w->host, shape.width, shape.height) != 0)
            return fail(kFailed, "the filter could not start another instance (out of memory?)");
        workers.push_back(std::move(w));
    }
    for (auto& w : workers) {
        w->src.resize(static_cast<size_t>(pixels));
        w->dst.resize(static_cast<size_t>(pixels));
        if (sink != nullptr && sink->rotate != 0) w->turned.resize(static_cast<size_t>(pixels));
    }
    if (!o.quiet)
        for (const auto& n : notes) std::fprintf(stderr, "orv: %s\n", n.c_str());

    Pipeline p;
    p.maxInFlight = static_cast<size_t>(threads) * 2 + 2;
    if (sink != nullptr) p.outFrames.init(sink->enc->pix_fmt, sink->enc->width, sink->enc->height);
    Progress progress;
    progress.enabled = !o.quiet && isatty(2);
    if (!rawIn) {
        const AVStream* st = source.fmt->streams[source.video];
        if (st->nb_frames > 0) progress.total = st->nb_frames;
        else if (source.fmt->duration > 0 && shape.frameRate.num > 0)
            progress.total = av_rescale_q(source.fmt->duration, AV_TIME_BASE_Q, av_inv_q(shape.frameRate));
    }
    int64_t written = 0;
    std::vector<std::thread> threadsRunning;
    threadsRunning.emplace_back(reader_loop, std::ref(reader), std::ref(p));
    for (auto& w : workers) threadsRunning.emplace_back(worker_loop, std::ref(*w), std::cref(g), sink, std::ref(p));
    write_loop(p, sink, rawIn ? nullptr : &source, progress, written, rawOut, o.output);

    // A signal stops the run at any point before the output is moved into
    // place: nothing is left under its name and the exit is the signal's.
    // The partial output goes first, and the process ends at once with every
    // thread: one that a blocking read in the kernel holds, the encoder's.
    const auto stop_if_signalled = [&] {
        if (gSignal.load() == 0) return;
        progress_clear(progress);
        partial.discard();
        _exit(run_denoise_stopped(o.output));
    };
    stop_if_signalled();
    for (auto& t : threadsRunning) t.join();
    for (auto& w : workers) module_end(*w->host);
    stop_if_signalled();
    progress_update(progress, written, true);
    progress_clear(progress);

    if (!p.failure.empty()) return fail(p.failureCode, p.failure);
    if (source.badPackets > 0 && !o.quiet)
        std::fprintf(stderr, "orv: %lld packets of the input could not be decoded and were skipped\n",
                     static_cast<long long>(source.badPackets));
    if (written == 0) return fail(kBadInput, "no frames in " + (rawIn ? std::string("the input") : o.input));
    if (rawOut) {
        // stdout is written with write(2): nothing is buffered.
    } else {
        if (!partial.sequence) {
            for (int sig : {SIGHUP, SIGINT, SIGTERM}) gTail.lines[TailStop::slot(sig)] = stopped_line(sig, o.output);
            gTail.tempFile = partial.writePath.c_str();
            gTail.state.store(1);
            stop_if_signalled();  // one that came before the handler could act
        }
        const bool finished = sink_finish(*sink, error);
        if (!partial.sequence && !gTail.disarm())
            for (;;) pause();  // the handler is removing the file and ending the run
        stop_if_signalled();
        if (!finished) return fail(kFailed, "cannot write " + o.output + ": " + error);
        if (!partial.commit(error)) return fail(kFailed, error);
        // From here the output is complete, closed and under its name: a
        // signal now stops nothing, and the exit says what is on disk.
        if (gSignal.load() != 0 && !o.quiet)
            std::fprintf(stderr, "orv: %s came after %s was complete; it is kept\n", strsignal(gSignal.load()),
                         o.output.c_str());
    }
    if (reader.moreThanOne && !o.quiet)
        std::fprintf(stderr, "orv: %s holds one picture: the first frame was written\n", o.output.c_str());
    if (!o.quiet)
        std::fprintf(stderr, "%s\n",
                     format_summary(written, shape.width, shape.height, progress_seconds(progress), route_summary(p)).c_str());
    return 0;
}

}  // namespace

int run_denoise(const Options& o, const std::string& defaultModulePath) {
    gSignal.store(0);
    const int code = denoise(o, defaultModulePath);
    // 0 means the output is complete under its name, whenever a signal came.
    return code == 0 || gSignal.load() == 0 ? code : run_denoise_stopped(o.output);
}

}  // namespace orv::cli
