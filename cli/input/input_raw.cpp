// Raw 32-bit XRGB frames (bgr0) of a size the command line gives, on stdin.
#include <poll.h>
#include <unistd.h>

#include <cerrno>

extern "C" {
#include <libavutil/parseutils.h>
}

#include "cli/frames/media.h"
#include "cli/input/input.h"

namespace orv::cli {

namespace {

struct RawInput {
    int64_t frames = 0;
    bool cut = false;  // the input ended inside a frame
    FramePool pool;    // rows packed, so that a frame is one read
};

bool raw_open(Input& in, const Options& o, std::vector<std::string>&, std::string& error) {
    auto raw = std::make_shared<RawInput>();
    in.state = raw;
    AVRational rate{};
    const std::string r = o.rate.empty() ? "25" : o.rate;
    if (av_parse_video_rate(&rate, r.c_str()) < 0 || rate.num <= 0)
        return (error = "--rate takes a frame rate such as 25 or 30000/1001, not '" + o.rate + "'", false);
    in.shape.width = o.width;
    in.shape.height = o.height;
    in.shape.format = AV_PIX_FMT_BGR0;
    in.shape.frameRate = rate;
    in.shape.timeBase = av_inv_q(rate);
    raw->pool.init(AV_PIX_FMT_BGR0, o.width, o.height, 4);
    return true;
}

// Reads without blocking past a stop. False at the end; `partial` when the
// end came inside a frame.
bool read_frame_bytes(Input& in, uint8_t* d, size_t bytes, bool& partial) {
    size_t got = 0;
    partial = false;
    while (got < bytes) {
        if (in.stopping && in.stopping()) return false;
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

SourceItem raw_next(Input& in, AVFrame* f, AVPacket*, std::string& error) {
    const int w = in.shape.width, h = in.shape.height;
    f->format = AV_PIX_FMT_BGR0;
    f->width = w;
    f->height = h;
    if (!input_state<RawInput>(in).pool.get(f)) return (error = "out of memory", SourceItem::Error);
    bool partial = false;
    if (!read_frame_bytes(in, f->data[0], static_cast<size_t>(w) * h * 4, partial)) {
        // A frame cut short is a damaged input: the whole frames before it stand.
        input_state<RawInput>(in).cut = partial;
        return SourceItem::End;
    }
    f->pts = input_state<RawInput>(in).frames++;
    return SourceItem::Frame;
}

std::string raw_damage(const Input& in) {
    const RawInput& raw = input_state<RawInput>(in);
    if (!raw.cut) return {};
    return "the input ended inside frame " + std::to_string(raw.frames) + ": frames of " +
           std::to_string(in.shape.width) + "x" + std::to_string(in.shape.height) + " don't fit it, and that part was dropped";
}
int64_t raw_frame_count(const Input&) { return -1; }

}  // namespace

const InputKind kRawInput{"raw", raw_open, raw_next, raw_damage, raw_frame_count};

}  // namespace orv::cli
