#include "cli/output/output.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace orv::cli {

namespace {

bool libav_open(Output& out, const Input& in, const Options& o, const std::string& writePath,
                std::vector<std::string>& notes, std::string& error) {
    if (!sink_open(out.sink, o.output, writePath, in.source, in.shape, o, notes, error)) return false;
    out.frames.init(out.sink.enc->pix_fmt, out.sink.enc->width, out.sink.enc->height);
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
    const Sink& k = out.sink;
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
    if (!out.frames.get(job.out)) return (error = "out of memory", false);
    if (!w.fromXrgb.convert(picture, pitch, alpha, job.out))
        return (error = "cannot convert the frames to the output's pixel format", false);
    // An alpha plane deeper than XRGB's byte goes over as it came.
    if (alpha && k.rotate == 0) copy_alpha_plane(job.in, job.out);
    carry_side_data(job.in, job.out);
    return true;
}

bool libav_write_frame(Output& out, Job& job, std::string& error) {
    if (sink_write_frame(out.sink, job.out, error)) return true;
    return (error = "cannot write " + out.name + ": " + error, false);
}

bool libav_write_copy(Output& out, const Input& in, AVPacket* pkt, std::string& error) {
    if (in.source == nullptr || sink_write_copy(out.sink, *in.source, pkt, error)) return true;
    return (error = "cannot write " + out.name + ": " + error, false);
}

bool libav_finish(Output& out, std::string& error) { return sink_finish(out.sink, error); }

}  // namespace

const OutputKind kLibavOutput{"libav", false, libav_open, libav_prepare, libav_write_frame, libav_write_copy, libav_finish};

const OutputKind& output_pick(const Options& o) { return o.output == "-" ? kRawOutput : kLibavOutput; }

int output_rotation(const Output& out) { return out.sink.rotate; }

bool output_keeps_alpha(const Output& out, AVPixelFormat inputFormat) {
    if (out.sink.enc == nullptr) return false;
    const AVPixFmtDescriptor* in = av_pix_fmt_desc_get(inputFormat);
    const AVPixFmtDescriptor* od = av_pix_fmt_desc_get(out.sink.enc->pix_fmt);
    return in != nullptr && od != nullptr && (in->flags & AV_PIX_FMT_FLAG_ALPHA) != 0 && (od->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
}

bool output_single_picture(const Output& out) { return out.sink.singlePicture; }

int64_t output_frames_done(const Output& out, int64_t handed) {
    return out.sink.enc != nullptr ? std::max<int64_t>(0, out.sink.packetsOut - out.sink.repeated) : handed;
}

std::string output_timing_note(const Output& out) {
    const Sink& k = out.sink;
    // Pictures hold no times at all: there is nothing to say.
    if (k.enc == nullptr || !k.oneRate || k.offTick == 0 || std::strcmp(k.fmt->oformat->name, "image2") == 0) return {};
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

}  // namespace orv::cli
