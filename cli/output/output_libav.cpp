#include "cli/output/output_libav.h"

#include <algorithm>

#include "cli/frames/media.h"

namespace orv::cli {

namespace {

bool write_packets(Sink& k, std::string& error) {
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr) return (error = "out of memory", false);
    bool ok = true;
    for (;;) {
        if (k.stop != nullptr && k.stop->load() != 0) {
            error = "stopped";
            ok = false;
            break;
        }
        const int rc = avcodec_receive_packet(k.enc, pkt);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
        if (rc < 0) {
            error = "the encoder failed: " + av_error_text(rc);
            ok = false;
            break;
        }
        av_packet_rescale_ts(pkt, k.enc->time_base, k.video->time_base);
        pkt->stream_index = k.video->index;
        const int wr = av_interleaved_write_frame(k.fmt, pkt);
        if (wr < 0) {
            error = av_error_text(wr);
            ok = false;
            break;
        }
        ++k.packetsOut;
        if (k.onPacket) k.onPacket(std::max<int64_t>(0, k.packetsOut - k.repeated));
    }
    av_packet_free(&pkt);
    return ok;
}

// The frame's time in the encoder's time base, always after the one before:
// frames without a time of their own follow it, and so do frames that an
// encoder counting whole frames would otherwise put on the same tick.
void time_frame(Sink& k, AVFrame* f) {
    if (f->pts != AV_NOPTS_VALUE) f->pts = av_rescale_q(f->pts, k.frameTimeBase, k.enc->time_base);
    if (f->pts == AV_NOPTS_VALUE) f->pts = k.lastPts == AV_NOPTS_VALUE ? 0 : k.lastPts + 1;
    if (k.oneRate && k.lastPts != AV_NOPTS_VALUE && f->pts != k.lastPts + 1) ++k.offTick;
    if (k.lastPts != AV_NOPTS_VALUE && f->pts <= k.lastPts) f->pts = k.lastPts + 1;
    k.lastPts = f->pts;
}

// The frame before, again on every tick between it and `pts`, so that the
// video keeps its length and its place against the audio.
bool fill_gap(Sink& k, int64_t pts, std::string& error) {
    for (int64_t t = k.held->pts + 1; t < pts; ++t) {
        AVFrame* again = av_frame_clone(k.held);
        if (again == nullptr) return (error = "out of memory", false);
        again->pts = t;
        const int rc = avcodec_send_frame(k.enc, again);
        av_frame_free(&again);
        if (rc < 0) return (error = "the encoder failed: " + av_error_text(rc), false);
        ++k.repeated;
        if (!write_packets(k, error)) return false;
    }
    return true;
}

}  // namespace

Sink::~Sink() {
    for (AVBSFContext*& f : annexB) av_bsf_free(&f);
    av_frame_free(&held);
    avcodec_free_context(&enc);
    if (fmt != nullptr) {
        if (fmt->pb != nullptr && (fmt->oformat->flags & AVFMT_NOFILE) == 0) avio_closep(&fmt->pb);
        avformat_free_context(fmt);
    }
}

bool sink_write_frame(Sink& k, AVFrame* frame, std::string& error) {
    if (frame != nullptr) time_frame(k, frame);
    if (frame != nullptr && k.fillGaps) {
        if (k.held != nullptr && !fill_gap(k, frame->pts, error)) return false;
        if (k.held == nullptr && (k.held = av_frame_alloc()) == nullptr) return (error = "out of memory", false);
        av_frame_unref(k.held);
        if (av_frame_ref(k.held, frame) < 0) return (error = "out of memory", false);
    }
    const int rc = avcodec_send_frame(k.enc, frame);
    if (rc < 0 && !(frame == nullptr && rc == AVERROR_EOF)) return (error = "the encoder failed: " + av_error_text(rc), false);
    return write_packets(k, error);
}

bool sink_write_copy(Sink& k, const Source& src, AVPacket* pkt, std::string& error) {
    const int to = pkt->stream_index < static_cast<int>(k.streamMap.size()) ? k.streamMap[pkt->stream_index] : -1;
    if (to < 0) return true;
    const AVRational from = src.fmt->streams[pkt->stream_index]->time_base;
    AVBSFContext* f = k.annexB.empty() ? nullptr : k.annexB[pkt->stream_index];
    const auto write = [&](AVPacket* p) {
        av_packet_rescale_ts(p, from, k.fmt->streams[to]->time_base);
        p->stream_index = to;
        p->pos = -1;
        const int rc = av_interleaved_write_frame(k.fmt, p);
        return rc < 0 ? (error = av_error_text(rc), false) : true;
    };
    if (f == nullptr) return write(pkt);
    int rc = av_bsf_send_packet(f, pkt);
    while (rc >= 0 && (rc = av_bsf_receive_packet(f, pkt)) >= 0)
        if (!write(pkt)) return false;
    if (rc < 0 && rc != AVERROR(EAGAIN)) return (error = av_error_text(rc), false);
    return true;
}

bool sink_finish(Sink& k, std::string& error) {
    if (!sink_write_frame(k, nullptr, error)) return false;
    int rc = av_write_trailer(k.fmt);
    if (rc < 0) return (error = av_error_text(rc), false);
    if (k.fmt->pb != nullptr && (k.fmt->oformat->flags & AVFMT_NOFILE) == 0) {
        avio_flush(k.fmt->pb);
        const int werr = k.fmt->pb->error;
        rc = avio_closep(&k.fmt->pb);
        if (werr < 0) return (error = av_error_text(werr), false);
        if (rc < 0) return (error = av_error_text(rc), false);
    }
    return true;
}

}  // namespace orv::cli
