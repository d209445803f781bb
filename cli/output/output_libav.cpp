#include "cli/output/output_libav.h"

#include <algorithm>

#include "cli/frames/media.h"
#include "cli/output/container_fit.h"
#include "cli/output/output.h"

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

// The libav kind of output: its state is the Sink and the encoder's frames.

namespace {

struct LibavOutput {
    Sink sink;
    FramePool frames;  // the encoder's frame buffers
};

bool libav_open(Output& out, const Input& in, const Options& o, const std::string& writePath,
                std::vector<std::string>& notes, std::string& error) {
    auto state = std::make_shared<LibavOutput>();
    out.state = state;
    Sink& k = state->sink;
    k.stop = out.stop;
    if (!sink_open(k, o.output, writePath, in.source, in.shape, o, notes, error)) return false;
    state->frames.init(k.enc->pix_fmt, k.enc->width, k.enc->height);
    out.rotation = k.rotate;
    out.singlePicture = k.singlePicture;
    out.pixelFormat = k.enc->pix_fmt;
    return true;
}

// The side data that describes the picture rather than how it was coded,
// for the encoders that write it (HDR, captions, timecodes, ICC profiles).
void carry_side_data(const AVFrame* in, AVFrame* out) {
    for (int i = 0; i < in->nb_side_data; ++i) {
        const AVFrameSideData* sd = in->side_data[i];
        switch (sd->type) {
            case AV_FRAME_DATA_MASTERING_DISPLAY_METADATA: case AV_FRAME_DATA_CONTENT_LIGHT_LEVEL:
            case AV_FRAME_DATA_DYNAMIC_HDR_PLUS: case AV_FRAME_DATA_A53_CC: case AV_FRAME_DATA_S12M_TIMECODE:
            case AV_FRAME_DATA_ICC_PROFILE: case AV_FRAME_DATA_AFD:
                if (AVBufferRef* b = av_buffer_ref(sd->buf)) {
                    if (av_frame_new_side_data_from_buf(out, sd->type, b) == nullptr) av_buffer_unref(&b);
                }
                break;
            default: break;
        }
    }
}

void describe_frame(const AVCodecContext* e, const AVFrame* in, AVFrame* out) {
    out->format = e->pix_fmt;
    out->width = e->width;
    out->height = e->height;
    out->colorspace = e->colorspace;
    out->color_range = e->color_range;
    out->color_primaries = e->color_primaries;
    out->color_trc = e->color_trc;
    out->chroma_location = e->chroma_sample_location;
    out->sample_aspect_ratio = e->sample_aspect_ratio;
    out->pts = in->pts;
    out->interlaced_frame = in->interlaced_frame;
    out->top_field_first = in->top_field_first;
}

bool libav_prepare(Output& out, Worker& w, Job& job, const uint32_t* xrgb, bool alpha, std::string& error) {
    const Sink& k = output_state<LibavOutput>(out).sink;
    const int w0 = job.in->width, h0 = job.in->height;
    const uint32_t* picture = xrgb;
    ptrdiff_t pitch = static_cast<ptrdiff_t>(w0) * 4;
    if (k.rotate != 0) {
        rotate_xrgb(xrgb, pitch, w0, h0, k.rotate, w.turned.data());
        picture = w.turned.data();
        pitch = static_cast<ptrdiff_t>(k.enc->width) * 4;
    }
    job.out = av_frame_alloc();
    if (job.out == nullptr) return (error = "out of memory", false);
    describe_frame(k.enc, job.in, job.out);
    if (!output_state<LibavOutput>(out).frames.get(job.out)) return (error = "out of memory", false);
    if (!w.fromXrgb.convert(picture, pitch, alpha, job.out))
        return (error = "cannot convert the frames to the output's pixel format", false);
    // An alpha plane deeper than XRGB's byte goes over as it came.
    if (alpha && k.rotate == 0) copy_alpha_plane(job.in, job.out);
    carry_side_data(job.in, job.out);
    return true;
}

bool libav_write_frame(Output& out, Job& job, std::string& error) {
    if (sink_write_frame(output_state<LibavOutput>(out).sink, job.out, error)) return true;
    return (error = "cannot write " + out.name + ": " + error, false);
}

bool libav_write_copy(Output& out, const Input& in, AVPacket* pkt, std::string& error) {
    if (in.source == nullptr || sink_write_copy(output_state<LibavOutput>(out).sink, *in.source, pkt, error)) return true;
    return (error = "cannot write " + out.name + ": " + error, false);
}

bool libav_finish(Output& out, std::string& error) {
    Sink& k = output_state<LibavOutput>(out).sink;
    k.onPacket = out.onPacket;
    return sink_finish(k, error);
}

// With the filter disabled, a decoded frame the encoder takes as it is goes
// to it untouched: the way through XRGB and back would change its colour.
// Only where the output reads its samples as the input did: same format,
// size, matrix and range (JPEG, say, calls its YUV full range).
bool libav_hand_on(const Output& out, Job& job) {
    const Sink& k = output_state<LibavOutput>(out).sink;
    const AVCodecContext* e = k.enc;
    if (e == nullptr || k.rotate != 0 || job.in->format != e->pix_fmt || job.in->width != e->width ||
        job.in->height != e->height || job.in->colorspace != e->colorspace || job.in->color_range != e->color_range)
        return false;
    job.out = av_frame_clone(job.in);
    if (job.out == nullptr) return false;
    // The decoder's picture type would force the encoder's.
    job.out->pict_type = AV_PICTURE_TYPE_NONE;
    job.out->sample_aspect_ratio = e->sample_aspect_ratio;
    job.out->color_primaries = e->color_primaries;
    job.out->color_trc = e->color_trc;
    job.out->chroma_location = e->chroma_sample_location;
    return true;
}

int64_t libav_frames_done(const Output& out, int64_t handed) {
    const Sink& k = output_state<LibavOutput>(out).sink;
    return k.enc != nullptr ? std::max<int64_t>(0, k.packetsOut - k.repeated) : handed;
}


std::string libav_timing_note(const Output& out) {
    const Sink& k = output_state<LibavOutput>(out).sink;
    // Pictures hold no times at all: there is nothing to say.
    if (k.enc == nullptr || !k.oneRate || k.offTick == 0 || is_picture_files(k.fmt->oformat)) return {};
    const AVRational r = k.enc->framerate;
    const std::string fps = std::to_string(r.num) + (r.den != 1 ? "/" + std::to_string(r.den) : "");
    const std::string head = "the input's frame rate varies and " + out.name + " holds one rate: it is written at " + fps + " fps";
    if (k.fillGaps)
        return head + ", every frame at its nearest free frame time and each gap filled by showing the frame before "
                      "it again (" + std::to_string(k.repeated) + " frames repeated, " + std::to_string(k.offTick) +
               " off a steady " + fps + " fps)";
    return head + ", every frame once at its nearest free frame time (" + std::to_string(k.offTick) + " frames off a steady " +
           fps + " fps)";
}

}  // namespace

const OutputKind kLibavOutput{"libav",          false,           libav_open,
                              libav_prepare,    libav_hand_on,   libav_write_frame,
                              libav_write_copy, libav_finish,    libav_frames_done,
                              libav_timing_note};

}  // namespace orv::cli
