#include "cli/pipeline.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "core/filter_instance.h"

namespace orv::cli {

// What the writer takes next, in reading order: a frame or a copied packet.
struct Item {
    std::shared_ptr<Job> job;
    AVPacket* pkt = nullptr;
};

struct Pipeline {
    PipelineSettings settings;
    std::mutex m;
    std::condition_variable changed;
    std::deque<Item> items;                 // for the writer, in order
    std::deque<std::shared_ptr<Job>> todo;  // for the workers
    size_t inFlight = 0;                    // frames read and not yet written
    bool readerDone = false;
    std::atomic<int> stop{0};  // a failure or a signal: every thread leaves
    std::string failure;
    int failureCode = kFailed;
    std::atomic<int64_t> routes[3] = {0, 0, 0};
    std::map<std::string, int64_t> declines;  // under m
    // Written frames' XRGB buffers, for the next frames: a fresh one costs a
    // zeroing and a page fault per 4 KiB. Under m.
    std::vector<std::vector<uint32_t>> spareXrgb;
    std::atomic<bool> moreThanOne{false};
    int64_t written = 0;

    ~Pipeline() {
        for (auto& i : items) av_packet_free(&i.pkt);
    }
    void fail_with(int code, const std::string& text);
    bool stopping() const { return stop.load() != 0 || (settings.signal != nullptr && settings.signal->load() != 0); }
};

void PipelineDeleter::operator()(Pipeline* p) const noexcept { delete p; }

PipelinePtr pipeline_make(const PipelineSettings& settings) {
    PipelinePtr p(new Pipeline);
    p->settings = settings;
    return p;
}

bool pipeline_stopping(const Pipeline& p) { return p.stopping(); }

void Pipeline::fail_with(int code, const std::string& text) {
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

namespace {

// Waits a little at a time so that a signal is seen within a tenth of a second.
template <class Pred>
bool wait(Pipeline& p, std::unique_lock<std::mutex>& l, Pred ready) {
    while (!ready()) {
        if (p.stopping()) return false;
        p.changed.wait_for(l, std::chrono::milliseconds(50));
    }
    return true;
}

// The filter works on colour; the alpha goes out as it came.
void keep_alpha(const uint32_t* src, ptrdiff_t srcPitch, uint32_t* dst, int w, int h) {
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + y * srcPitch);
        for (int x = 0; x < w; ++x) {
            uint32_t& d = dst[static_cast<size_t>(y) * w + x];
            d = (d & 0x00FFFFFFu) | (s[x] & 0xFF000000u);
        }
    }
}

void filter_frame(Worker& w, Job& job, Pipeline& p) {
    if (p.settings.handOn && p.settings.out->kind->hand_on(*p.settings.out, job)) {
        p.routes[kRoutePassThrough].fetch_add(1);
        return;
    }
    const int width = job.in->width, height = job.in->height;
    const ptrdiff_t pitch = static_cast<ptrdiff_t>(width) * 4;
    const uint32_t* src = w.src.data();
    ptrdiff_t srcPitch = pitch;
    if (job.in->format == AV_PIX_FMT_BGR0 || (p.settings.alpha && job.in->format == AV_PIX_FMT_BGRA)) {
        src = reinterpret_cast<const uint32_t*>(job.in->data[0]);
        srcPitch = job.in->linesize[0];
    } else if (!w.toXrgb.convert(job.in, w.src.data(), pitch, p.settings.alpha)) {
        return p.fail_with(kFailed, "cannot convert the frames' pixel format to XRGB");
    }
    uint32_t* dst = w.dst.data();
    if (p.settings.out->kind->writesXrgb) {
        {
            std::lock_guard<std::mutex> l(p.m);
            if (!p.spareXrgb.empty()) {
                job.xrgb = std::move(p.spareXrgb.back());
                p.spareXrgb.pop_back();
            }
        }
        job.xrgb.resize(static_cast<size_t>(width) * height);
        dst = job.xrgb.data();
    }
    if (module_run(*w.host, const_cast<uint32_t*>(src), srcPitch, dst, pitch) != 0)
        return p.fail_with(kFailed, "the filter failed on a frame (out of memory?)");
    const auto& fi = *static_cast<const FilterInstance*>(module_instance(*w.host));
    if (fi.lastRoute >= 0 && fi.lastRoute < 3) p.routes[fi.lastRoute].fetch_add(1);
    if (fi.lastRoute == kRouteCpu && fi.gpuDeclineCall != nullptr) {
        std::lock_guard<std::mutex> g(p.m);
        ++p.declines[std::string(fi.gpuDeclineCall) + " " + std::to_string(fi.gpuDeclineStatus)];
    }
    if (p.settings.alpha) keep_alpha(src, srcPitch, dst, width, height);
    std::string error;
    Output& out = *p.settings.out;
    if (!out.kind->prepare(out, w, job, dst, p.settings.alpha, error)) p.fail_with(kFailed, error);
}

void worker_loop(Worker& w, Pipeline& p) {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> l(p.m);
            if (!wait(p, l, [&] { return !p.todo.empty() || p.readerDone; })) return;
            if (p.todo.empty()) return;
            job = p.todo.front();
            p.todo.pop_front();
        }
        filter_frame(w, *job, p);
        {
            std::lock_guard<std::mutex> l(p.m);
            job->done = true;
        }
        p.changed.notify_all();
    }
}

bool push(Pipeline& p, Item item) {
    const bool isFrame = item.job != nullptr;
    std::unique_lock<std::mutex> l(p.m);
    if (isFrame && !wait(p, l, [&] { return p.inFlight < p.settings.maxInFlight; })) return false;
    if (isFrame) {
        ++p.inFlight;
        p.todo.push_back(item.job);
    }
    p.items.push_back(std::move(item));
    l.unlock();
    p.changed.notify_all();
    return true;
}

// Hands a packet of another stream to the writer; false when the run stops.
bool pass_packet(Pipeline& p, AVPacket* pkt) {
    AVPacket* copy = av_packet_alloc();
    if (copy == nullptr) return (p.fail_with(kFailed, "out of memory"), false);
    av_packet_move_ref(copy, pkt);
    if (push(p, Item{nullptr, copy})) return true;
    av_packet_free(&copy);
    return false;
}

// One step of the reader: false when reading ends. `n` counts the frames.
bool read_one(Pipeline& p, AVPacket* pkt, int64_t& n) {
    auto job = std::make_shared<Job>();
    job->in = av_frame_alloc();
    if (job->in == nullptr) return (p.fail_with(kFailed, "out of memory"), false);
    std::string error;
    const SourceItem what = p.settings.in->kind->next(*p.settings.in, job->in, pkt, error);
    if (what == SourceItem::End) return false;
    if (what == SourceItem::Error) {
        if (!p.stopping()) p.fail_with(p.settings.in->badInput ? kBadInput : kFailed, error);
        return false;
    }
    if (what == SourceItem::Packet) return pass_packet(p, pkt);
    const AVFrame* f = job->in;
    if (f->width != p.settings.in->shape.width || f->height != p.settings.in->shape.height) {
        p.fail_with(kFailed, "the video's frame size changes at frame " + std::to_string(n) + " (" + std::to_string(f->width) +
                                 "x" + std::to_string(f->height) + "); orv keeps one size");
        return false;
    }
    if (p.settings.onePicture && n == 1) {
        p.moreThanOne = true;
        return false;
    }
    if (!push(p, Item{job, nullptr})) return false;
    ++n;
    return true;
}

void reader_loop(Pipeline& p) {
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr) p.fail_with(kFailed, "out of memory");
    for (int64_t n = 0; pkt != nullptr && !p.stopping();)
        if (!read_one(p, pkt, n)) break;
    av_packet_free(&pkt);
    {
        std::lock_guard<std::mutex> l(p.m);
        p.readerDone = true;
    }
    p.changed.notify_all();
}

// The next item in reading order once it is ready; false at the end or a stop.
bool take_item(Pipeline& p, Item& item) {
    std::unique_lock<std::mutex> l(p.m);
    const auto ready = [&] {
        return (!p.items.empty() && (p.items.front().pkt != nullptr || p.items.front().job->done)) ||
               (p.items.empty() && p.readerDone);
    };
    if (!wait(p, l, ready) || p.items.empty()) return false;
    item = std::move(p.items.front());
    p.items.pop_front();
    if (item.job) --p.inFlight;
    l.unlock();
    p.changed.notify_all();
    return true;
}

}  // namespace

std::vector<std::thread> pipeline_start(Pipeline& p, std::vector<std::unique_ptr<Worker>>& workers) {
    std::vector<std::thread> threads;
    threads.emplace_back(reader_loop, std::ref(p));
    for (auto& w : workers) threads.emplace_back(worker_loop, std::ref(*w), std::ref(p));
    return threads;
}

void pipeline_write(Pipeline& p, Progress& progress) {
    std::string error;
    for (Item item; take_item(p, item);) {
        if (item.pkt != nullptr) {
            const bool ok = p.settings.out->kind->write_copy(*p.settings.out, *p.settings.in, item.pkt, error);
            av_packet_free(&item.pkt);
            if (!ok) return p.fail_with(kFailed, error);
            continue;
        }
        if (p.stopping()) return;
        if (!p.settings.out->kind->write_frame(*p.settings.out, *item.job, error)) return p.fail_with(kFailed, error);
        if (!item.job->xrgb.empty()) {
            std::lock_guard<std::mutex> l(p.m);
            p.spareXrgb.push_back(std::move(item.job->xrgb));
        }
        item.job.reset();
        progress_update(progress, p.settings.out->kind->frames_done(*p.settings.out, ++p.written));
    }
}

namespace {

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

}  // namespace

PipelineOutcome pipeline_outcome(const Pipeline& p) {
    return {.failure = p.failure,
            .failureCode = p.failureCode,
            .written = p.written,
            .moreThanOne = p.moreThanOne.load(),
            .declines = p.declines,
            .routes = route_summary(p)};
}

}  // namespace orv::cli
