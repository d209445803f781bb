#include "cli/output/container_fit.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace orv::cli {

namespace {

std::atomic<int> gTrials{0};

// A stream made like `par`, its tag kept by ffmpeg's rule for a copy.
AVStream* trial_stream(AVFormatContext* fmt, const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate) {
    AVStream* st = avformat_new_stream(fmt, nullptr);
    if (st == nullptr || avcodec_parameters_copy(st->codecpar, par) < 0) return nullptr;
    st->codecpar->codec_tag = kept_codec_tag(of, par);
    st->time_base = rate.num > 0 && rate.den > 0 ? av_inv_q(rate)
                    : par->sample_rate > 0     ? AVRational{1, par->sample_rate}
                                               : AVRational{1, 1000};
    return st;
}

// One small packet for each stream: an H.264 access unit delimiter, which
// passes the start-code checks of the muxers that make them.
bool write_trial_packets(AVFormatContext* fmt) {
    static const uint8_t kPayload[] = {0, 0, 0, 1, 0x09, 0xf0};
    AVPacket* pkt = av_packet_alloc();
    if (pkt == nullptr) return false;
    bool ok = true;
    for (unsigned i = 0; ok && i < fmt->nb_streams; ++i) {
        ok = av_new_packet(pkt, sizeof kPayload) >= 0;
        if (!ok) break;
        std::memcpy(pkt->data, kPayload, sizeof kPayload);
        pkt->stream_index = static_cast<int>(i);
        pkt->pts = pkt->dts = 0;
        pkt->duration = 1;
        pkt->flags = AV_PKT_FLAG_KEY;
        ok = av_write_frame(fmt, pkt) >= 0;
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    return ok && av_write_trailer(fmt) >= 0;
}

struct MemoryReader {
    const uint8_t* data;
    int size, at = 0;
    static int read(void* opaque, uint8_t* buf, int n) {
        auto* m = static_cast<MemoryReader*>(opaque);
        n = std::min(n, m->size - m->at);
        if (n <= 0) return AVERROR_EOF;
        std::memcpy(buf, m->data + m->at, static_cast<size_t>(n));
        m->at += n;
        return n;
    }
};

// What the file reads back as: a demuxer that finds the stream `index` of
// another type or codec (TS takes any codec as private data, MPEG-PS as an
// unknown video) says no; one that can't read the little file says nothing.
bool reads_back_as(const uint8_t* bytes, int size, unsigned index, const AVCodecParameters* par) {
    MemoryReader m{bytes, size};
    const int bufSize = 4096;
    auto* buf = static_cast<uint8_t*>(av_malloc(bufSize));
    AVIOContext* pb = buf != nullptr ? avio_alloc_context(buf, bufSize, 0, &m, MemoryReader::read, nullptr, nullptr) : nullptr;
    if (pb == nullptr) {
        av_free(buf);
        return true;
    }
    AVFormatContext* in = avformat_alloc_context();
    bool holds = true;
    if (in != nullptr) {
        in->pb = pb;
        in->flags |= AVFMT_FLAG_CUSTOM_IO;
        if (avformat_open_input(&in, nullptr, nullptr, nullptr) >= 0) {
            AVPacket* pkt = av_packet_alloc();
            while (pkt != nullptr && av_read_frame(in, pkt) >= 0) av_packet_unref(pkt);
            av_packet_free(&pkt);
            const AVCodecParameters* got = index < in->nb_streams ? in->streams[index]->codecpar : nullptr;
            holds = got != nullptr && got->codec_type == par->codec_type && got->codec_id == par->codec_id;
            avformat_close_input(&in);
        } else {
            in = nullptr;
        }
    }
    av_freep(&pb->buffer);
    avio_context_free(&pb);
    return holds;
}

// The muxer's own verdict: its header written to memory with the stream
// (after `beside`, the video, where given); where the muxer keeps no list
// of its codecs, also what a packet of it reads back as.
bool trial(const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate, const AVStream* beside,
           bool readBack) {
    const TrialQuiet quiet;
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, of, nullptr, nullptr) < 0) return false;
    fmt->flags |= AVFMT_FLAG_BITEXACT;
    const bool nofile = (of->flags & AVFMT_NOFILE) != 0;
    bool ok = (beside == nullptr || trial_stream(fmt, of, beside->codecpar, av_inv_q(beside->time_base)) != nullptr);
    const AVStream* st = ok ? trial_stream(fmt, of, par, rate) : nullptr;
    if (st != nullptr && !nofile && avio_open_dyn_buf(&fmt->pb) < 0) fmt->pb = nullptr;
    ok = st != nullptr && (nofile || fmt->pb != nullptr) && avformat_write_header(fmt, nullptr) >= 0;
    const bool wrote = ok && readBack && !nofile && write_trial_packets(fmt);
    if (fmt->pb != nullptr) {
        uint8_t* bytes = nullptr;
        const int size = avio_close_dyn_buf(fmt->pb, &bytes);
        fmt->pb = nullptr;
        if (wrote) ok = reads_back_as(bytes, size, static_cast<unsigned>(st->index), par);
        av_free(bytes);
    }
    avformat_free_context(fmt);
    return ok;
}

}  // namespace

TrialQuiet::TrialQuiet() { ++gTrials; }
TrialQuiet::~TrialQuiet() { --gTrials; }
bool trial_running() { return gTrials.load() != 0; }

uint32_t kept_codec_tag(const AVOutputFormat* of, const AVCodecParameters* par) {
    unsigned int tag = 0;
    if (of->codec_tag == nullptr || av_codec_get_id(of->codec_tag, par->codec_tag) == par->codec_id ||
        av_codec_get_tag2(of->codec_tag, par->codec_id, &tag) == 0)
        return par->codec_tag;
    return 0;
}

bool container_holds(const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate, const AVStream* beside) {
    const int listed = avformat_query_codec(of, par->codec_id, FF_COMPLIANCE_NORMAL);
    // Matroska lists only its native codecs, but writes any other through
    // its compatibility tags; muxers without a list say nothing at all.
    if (listed != 1 && avformat_query_codec(of, par->codec_id, FF_COMPLIANCE_UNOFFICIAL) == 0) return false;
    return trial(of, par, rate, beside, listed < 0);
}

bool muxer_takes_pixel_format(const AVOutputFormat* of, const AVCodec* c, AVPixelFormat format, int width, int height) {
    // The encoder opened at that format first: it sets what the muxer reads
    // (rawvideo's tag, without which Matroska takes no raw frames).
    const TrialQuiet quiet;
    AVCodecContext* e = avcodec_alloc_context3(c);
    AVCodecParameters* par = avcodec_parameters_alloc();
    bool ok = e != nullptr && par != nullptr;
    if (ok) {
        e->pix_fmt = format;
        e->width = width;
        e->height = height;
        e->time_base = {1, 25};
        e->framerate = {25, 1};
        ok = avcodec_open2(e, c, nullptr) >= 0 && avcodec_parameters_from_context(par, e) >= 0 &&
             trial(of, par, {25, 1}, nullptr, false);
    }
    avcodec_parameters_free(&par);
    avcodec_free_context(&e);
    return ok;
}

const AVCodec* preferred_encoder(AVCodecID id) {
    const struct {
        AVCodecID id;
        const char* name;
    } preferred[] = {
        {AV_CODEC_ID_AV1, "libsvtav1"},
        // prores_aw widens 10-bit alpha to ProRes' 16 bits without the low
        // ones, so 4444 alpha read back differs; prores_ks gives it back.
        {AV_CODEC_ID_PRORES, "prores_ks"},
    };
    for (const auto& p : preferred)
        if (p.id == id)
            if (const AVCodec* c = avcodec_find_encoder_by_name(p.name)) return c;
    return avcodec_find_encoder(id);
}

AVRational encoder_time_base(const AVCodec* c, AVRational timeBase, AVRational& rate) {
    if (c->supported_framerates != nullptr) {
        rate = c->supported_framerates[av_find_nearest_q_idx(rate, c->supported_framerates)];
        return av_inv_q(rate);
    }
    bool sixteenBit = false;
    for (AVCodecID id : {AV_CODEC_ID_MPEG4, AV_CODEC_ID_H263, AV_CODEC_ID_H263P, AV_CODEC_ID_MSMPEG4V2,
                         AV_CODEC_ID_MSMPEG4V3, AV_CODEC_ID_WMV1, AV_CODEC_ID_WMV2, AV_CODEC_ID_FLV1})
        sixteenBit = sixteenBit || c->id == id;
    if (c->id == AV_CODEC_ID_THEORA || (sixteenBit && timeBase.den > 65535)) {
        AVRational r;
        av_reduce(&r.num, &r.den, rate.num, rate.den, 65535);
        rate = r;
        return av_inv_q(r);
    }
    return timeBase;
}

// Containers whose writer keeps the display matrix (FFmpeg 5.1: the mov family).
bool keeps_display_matrix(const AVOutputFormat* f) {
    for (const char* name : {"mov", "mp4", "3gp", "3g2", "psp", "ipod", "ismv", "f4v"})
        if (std::strcmp(f->name, name) == 0) return true;
    return false;
}

bool is_image_writer(const AVOutputFormat* f) {
    return std::strcmp(f->name, "image2") == 0 || std::strcmp(f->name, "image2pipe") == 0;
}

// Containers that hold one frame rate, whatever the frames' times: AVI, Y4M
// and RealMedia count frames, raw streams, MXF and pictures carry no times.
bool holds_one_rate(const AVOutputFormat* f) {
    return (f->flags & AVFMT_NOTIMESTAMPS) != 0 || std::strcmp(f->name, "avi") == 0 ||
           std::strcmp(f->name, "yuv4mpegpipe") == 0 || std::strcmp(f->name, "rm") == 0;
}

// A muxer of one video codec and nothing else (.m2v, .h264, .ivf, .y4m)
// names its codec by its extension, as libavformat's own guess does.
bool names_its_codec(const AVOutputFormat* f) {
    return is_image_writer(f) || (f->audio_codec == AV_CODEC_ID_NONE && f->subtitle_codec == AV_CODEC_ID_NONE &&
                                  f->video_codec != AV_CODEC_ID_NONE);
}

// AVI's muxer fills a gap itself (an empty chunk shows the frame before
// again); pictures hold no times at all.
bool fills_gaps(const AVOutputFormat* f) {
    return holds_one_rate(f) && std::strcmp(f->name, "avi") != 0 && !is_image_writer(f);
}

bool is_picture_files(const AVOutputFormat* f) { return std::strcmp(f->name, "image2") == 0; }

// Attachments (fonts and the like) have no codec a writer lists: Matroska
// holds them, others don't; pictures hold nothing beside the video.
bool container_holds_copy(const AVOutputFormat* of, const AVCodecParameters* par, const AVStream* beside) {
    const bool attachment = par->codec_type == AVMEDIA_TYPE_ATTACHMENT;
    const bool holds = attachment ? std::strcmp(of->name, "matroska") == 0 : container_holds(of, par, {0, 0}, beside);
    return holds && !is_image_writer(of);
}

// H.264 and HEVC from mp4 or Matroska carry their NALs' lengths; a muxer
// without global headers (AVI, MPEG-PS) takes start codes, as the
// bitstream filter writes them (ffmpeg leaves that to -bsf:v).
const char* annexb_filter(const AVOutputFormat* of, const AVCodecParameters* par) {
    if ((of->flags & AVFMT_GLOBALHEADER) != 0 || par->extradata_size < 1 || par->extradata[0] != 1) return nullptr;
    if (par->codec_id == AV_CODEC_ID_H264) return "h264_mp4toannexb";
    if (par->codec_id == AV_CODEC_ID_HEVC) return "hevc_mp4toannexb";
    return nullptr;
}

// Matroska and NUT write every tag of a stream; the others only the few
// their format names (AVI's INFO list has no timecode).
bool writes_any_tag(const AVOutputFormat* f) {
    return std::strcmp(f->name, "matroska") == 0 || std::strcmp(f->name, "webm") == 0 || std::strcmp(f->name, "nut") == 0;
}

}  // namespace orv::cli
