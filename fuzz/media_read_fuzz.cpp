// Fuzz target: orv's reading side on any file. The input is a container as
// orv would open it (seeded with tiny clips of several containers and
// codecs): probed, demuxed, every video frame decoded and converted to XRGB,
// every other packet handed over for copying. Whatever the bytes, this ends
// without a crash, hang or leak, and a refusal is one non-empty line.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cli/frames/media.h"
#include "cli/input/input_libav.h"
#include "test_support/fail.h"

namespace {

struct Memory {
    const uint8_t* data;
    size_t size, pos;
};

int read_memory(void* opaque, uint8_t* buf, int n) {
    auto* m = static_cast<Memory*>(opaque);
    const size_t left = m->size - m->pos;
    if (left == 0) return AVERROR_EOF;
    const size_t take = std::min(left, static_cast<size_t>(n));
    std::memcpy(buf, m->data + m->pos, take);
    m->pos += take;
    return static_cast<int>(take);
}

int64_t seek_memory(void* opaque, int64_t offset, int whence) {
    auto* m = static_cast<Memory*>(opaque);
    if ((whence & AVSEEK_SIZE) != 0) return static_cast<int64_t>(m->size);
    const int64_t base = (whence & ~AVSEEK_FORCE) == SEEK_CUR ? static_cast<int64_t>(m->pos)
                         : (whence & ~AVSEEK_FORCE) == SEEK_END ? static_cast<int64_t>(m->size) : 0;
    const int64_t to = base + offset;
    if (to < 0 || to > static_cast<int64_t>(m->size)) return AVERROR(EINVAL);
    m->pos = static_cast<size_t>(to);
    return to;
}

void one_line(const std::string& error) {
    if (error.empty() || error.find('\n') != std::string::npos) orv::fuzz::fail("refusal not one line: '" + error + "'");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Memory mem{data, size, 0};
    constexpr int kBuffer = 4096;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBuffer));
    AVIOContext* io = avio_alloc_context(buffer, kBuffer, 0, &mem, read_memory, nullptr, seek_memory);
    if (io == nullptr) {
        av_free(buffer);
        return 0;
    }
    orv::cli::Source source;
    std::string error;
    if (!orv::cli::source_open(source, "input", io, 1, error)) {
        if (source.customIo == nullptr) {  // not taken over: ours to free
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        one_line(error);
        return 0;
    }
    const AVCodecParameters* par = source.fmt->streams[source.video]->codecpar;
    // orv refuses frames past 2^28 pixels; here a smaller bound keeps runs fast.
    if (static_cast<int64_t>(par->width) * par->height > (int64_t{1} << 22)) return 0;
    const int rotation = orv::cli::source_rotation(source);
    if (rotation != -1 && rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270)
        orv::fuzz::fail("rotation " + std::to_string(rotation));
    AVFrame* frame = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    orv::cli::ToXrgb convert;
    std::vector<uint32_t> xrgb;
    for (int items = 0; items < 64; ++items) {
        const orv::cli::SourceItem what = orv::cli::source_next(source, frame, pkt, error);
        if (what == orv::cli::SourceItem::End) break;
        if (what == orv::cli::SourceItem::Error) {
            one_line(error);
            break;
        }
        if (what == orv::cli::SourceItem::Packet) {
            if (pkt->stream_index == source.video || pkt->stream_index < 0 ||
                pkt->stream_index >= static_cast<int>(source.fmt->nb_streams))
                orv::fuzz::fail("a packet to copy from stream " + std::to_string(pkt->stream_index));
            av_packet_unref(pkt);
            continue;
        }
        // A decoder may change the size mid-stream; orv refuses that, after reading it.
        if (frame->width > 0 && frame->height > 0 && static_cast<int64_t>(frame->width) * frame->height <= (int64_t{1} << 22)) {
            xrgb.resize(static_cast<size_t>(frame->width) * frame->height);
            convert.convert(frame, xrgb.data(), static_cast<ptrdiff_t>(frame->width) * 4, false);
        }
        av_frame_unref(frame);
    }
    av_packet_free(&pkt);
    av_frame_free(&frame);
    return 0;
}
