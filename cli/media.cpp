#include "cli/media.h"

#include "cli/yuv_to_xrgb.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <cstring>

namespace orv::cli {

std::string av_error_text(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

bool is_sequence_pattern(const std::string& name) { return av_filename_number_test(name.c_str()) != 0; }

// ---- input -------------------------------------------------------------------

namespace {

int interrupt_cb(void* opaque) {
    const auto* stop = static_cast<const std::atomic<int>*>(opaque);
    return stop != nullptr && stop->load() != 0;
}

}  // namespace

Source::~Source() {
    avcodec_free_context(&dec);
    if (customIo != nullptr) {
        // The demuxer doesn't own a stream the caller made.
        if (fmt != nullptr) fmt->pb = nullptr;
        av_freep(&customIo->buffer);
        avio_context_free(&customIo);
    }
    avformat_close_input(&fmt);
}

bool source_open(Source& s, const std::string& path, AVIOContext* io, int threads, std::string& error) {
    s.fmt = avformat_alloc_context();
    if (s.fmt == nullptr) return (error = "out of memory", false);
    s.fmt->interrupt_callback = {interrupt_cb, const_cast<std::atomic<int>*>(s.stop)};
    if (io != nullptr) {
        s.customIo = io;
        s.fmt->pb = io;
        s.fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    int rc = avformat_open_input(&s.fmt, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        // avformat_open_input frees the context on failure.
        error = "cannot read " + path + " as a video: " + av_error_text(rc);
        return false;
    }
    rc = avformat_find_stream_info(s.fmt, nullptr);
    if (rc < 0) return (error = "cannot read " + path + " as a video: " + av_error_text(rc), false);
    const AVCodec* codec = nullptr;
    s.video = av_find_best_stream(s.fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (s.video < 0 || codec == nullptr)
        return (error = path + (s.video < 0 ? " has no video stream" : " has a video stream no decoder here reads"), false);
    const AVCodecParameters* par = s.fmt->streams[s.video]->codecpar;
    if (par->width <= 0 || par->height <= 0 || par->format < 0)
        return (error = "cannot read " + path + " as a video: its frame size or pixel format is unknown", false);
    s.dec = avcodec_alloc_context3(codec);
    if (s.dec == nullptr || avcodec_parameters_to_context(s.dec, par) < 0) return (error = "out of memory", false);
    s.dec->pkt_timebase = s.fmt->streams[s.video]->time_base;
    s.dec->thread_count = threads;
    s.dec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    rc = avcodec_open2(s.dec, codec, nullptr);
    if (rc < 0) return (error = "cannot decode " + path + ": " + av_error_text(rc), false);
    return true;
}

SourceItem source_next(Source& s, AVFrame* frame, AVPacket* pkt, std::string& error) {
    for (;;) {
        if (s.ended) return SourceItem::End;
        int rc = avcodec_receive_frame(s.dec, frame);
        if (rc == 0) return SourceItem::Frame;
        if (rc == AVERROR_EOF) {
            s.ended = true;
            return SourceItem::End;
        }
        if (rc != AVERROR(EAGAIN)) {
            ++s.badPackets;
            if (s.draining) {
                s.ended = true;
                return SourceItem::End;
            }
        }
        if (s.draining) continue;
        rc = av_read_frame(s.fmt, pkt);
        if (rc == AVERROR_EOF || (rc < 0 && s.fmt->pb != nullptr && avio_feof(s.fmt->pb) && rc != AVERROR_EXIT)) {
            s.draining = true;
            avcodec_send_packet(s.dec, nullptr);
            continue;
        }
        if (rc < 0) {
            error = rc == AVERROR_EXIT ? "interrupted" : "cannot read the input: " + av_error_text(rc);
            return SourceItem::Error;
        }
        if (pkt->stream_index != s.video) return SourceItem::Packet;
        rc = avcodec_send_packet(s.dec, pkt);
        av_packet_unref(pkt);
        if (rc < 0 && rc != AVERROR(EAGAIN)) ++s.badPackets;
    }
}

int source_rotation(const Source& s) {
    size_t size = 0;
    const uint8_t* m = av_stream_get_side_data(s.fmt->streams[s.video], AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (m == nullptr || size < 9 * sizeof(int32_t)) return 0;
    const auto* matrix = reinterpret_cast<const int32_t*>(m);
    const double angle = av_display_rotation_get(matrix);  // counter-clockwise
    if (std::isnan(angle)) return -1;
    // A flip shows as a negative determinant of the 2x2 block.
    const double det = static_cast<double>(matrix[0]) * matrix[4] - static_cast<double>(matrix[1]) * matrix[3];
    if (det < 0) return -1;
    double cw = std::fmod(-angle, 360.0);
    if (cw < 0) cw += 360.0;
    const long r = std::lround(cw / 90.0) * 90 % 360;
    if (std::fabs(cw - static_cast<double>(r)) > 0.5 && std::fabs(cw - 360.0) > 0.5) return -1;
    return static_cast<int>(r);
}

// ---- conversions ---------------------------------------------------------------

namespace {

constexpr int kSwsFlags = SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_FULL_CHR_H_INP;

bool is_rgb(AVPixelFormat f) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(f);
    return d != nullptr && (d->flags & AV_PIX_FMT_FLAG_RGB) != 0;
}

// The matrix of a YUV picture: its tag, or what libav assumes untagged.
int sws_space(AVColorSpace cs) { return cs == AVCOL_SPC_UNSPECIFIED || cs == AVCOL_SPC_RGB ? SWS_CS_DEFAULT : cs; }

// libav's full-range formats (yuvj*) carry their range in the format itself.
bool full_range(AVPixelFormat f, AVColorRange r) {
    return r == AVCOL_RANGE_JPEG || f == AV_PIX_FMT_YUVJ420P || f == AV_PIX_FMT_YUVJ422P || f == AV_PIX_FMT_YUVJ444P ||
           f == AV_PIX_FMT_YUVJ440P || f == AV_PIX_FMT_YUVJ411P;
}

void copy_rows(const uint8_t* src, ptrdiff_t srcPitch, uint8_t* dst, ptrdiff_t dstPitch, int rowBytes, int rows) {
    for (int y = 0; y < rows; ++y) std::memcpy(dst + y * dstPitch, src + y * srcPitch, static_cast<size_t>(rowBytes));
}

// 8-bit planar YUV in the matrices whose weights are known here goes the
// direct way; false for everything else.
bool direct_layout(const AVFrame* f, YuvPicture& p) {
    const auto fmt = static_cast<AVPixelFormat>(f->format);
    int sx, sy;
    switch (fmt) {
        case AV_PIX_FMT_YUV420P: case AV_PIX_FMT_YUVJ420P: sx = sy = 1; break;
        case AV_PIX_FMT_YUV422P: case AV_PIX_FMT_YUVJ422P: sx = 1, sy = 0; break;
        case AV_PIX_FMT_YUV444P: case AV_PIX_FMT_YUVJ444P: sx = sy = 0; break;
        default: return false;
    }
    double kr, kb;
    switch (f->colorspace) {
        case AVCOL_SPC_BT709: kr = 0.2126, kb = 0.0722; break;
        case AVCOL_SPC_BT2020_NCL: case AVCOL_SPC_BT2020_CL: kr = 0.2627, kb = 0.0593; break;
        case AVCOL_SPC_SMPTE240M: kr = 0.212, kb = 0.087; break;
        case AVCOL_SPC_FCC: kr = 0.30, kb = 0.11; break;
        case AVCOL_SPC_BT470BG: case AVCOL_SPC_SMPTE170M: case AVCOL_SPC_UNSPECIFIED: kr = 0.299, kb = 0.114; break;
        default: return false;
    }
    p = YuvPicture{{f->data[0], f->data[1], f->data[2]},
                   {f->linesize[0], f->linesize[1], f->linesize[2]},
                   f->width, f->height, sx, sy, kr, kb,
                   full_range(fmt, f->color_range),
                   f->chroma_location == AVCHROMA_LOC_CENTER};
    return true;
}

}  // namespace

SwsContext* CachedScaler::get(int w, int h, AVPixelFormat from, AVPixelFormat to, AVColorSpace space,
                              AVColorRange range, bool toYuv) {
    const int key[7] = {w, h, from, to, space, range, toYuv};
    if (sws_ != nullptr && std::memcmp(key, key_, sizeof key) == 0) return sws_.get();
    std::memset(key_, -1, sizeof key_);
    sws_.reset(sws_getContext(w, h, from, w, h, to, kSwsFlags, nullptr, nullptr, nullptr));
    if (sws_ == nullptr) return nullptr;
    const AVPixelFormat yuv = toYuv ? to : from;
    if (!is_rgb(yuv)) {
        const int* yuvTable = sws_getCoefficients(sws_space(space));
        const int* rgbTable = sws_getCoefficients(SWS_CS_DEFAULT);
        const int yuvFull = full_range(yuv, range) ? 1 : 0;
        if (toYuv)
            sws_setColorspaceDetails(sws_.get(), rgbTable, 1, yuvTable, yuvFull, 0, 1 << 16, 1 << 16);
        else
            sws_setColorspaceDetails(sws_.get(), yuvTable, yuvFull, rgbTable, 1, 0, 1 << 16, 1 << 16);
    }
    std::memcpy(key_, key, sizeof key);
    return sws_.get();
}

namespace {

// Both directions between XRGB rows and `frame`: into the frame when
// `toFrame`, out of it otherwise (then `xrgb` is written).
bool convert_xrgb(CachedScaler& scaler, const AVFrame* frame, uint32_t* xrgb, ptrdiff_t pitch, bool alpha,
                  bool toFrame) {
    const auto fmt = static_cast<AVPixelFormat>(frame->format);
    const AVPixelFormat packed = alpha ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR0;
    const int w = frame->width, h = frame->height;
    uint8_t* rows = reinterpret_cast<uint8_t*>(xrgb);
    YuvPicture direct;
    if (fmt == AV_PIX_FMT_BGR0 || fmt == packed) {
        if (toFrame)
            copy_rows(rows, pitch, frame->data[0], frame->linesize[0], w * 4, h);
        else
            copy_rows(frame->data[0], frame->linesize[0], rows, pitch, w * 4, h);
    } else if (!alpha && direct_layout(frame, direct)) {
        if (toFrame)
            xrgb_to_yuv(xrgb, pitch, direct);
        else
            yuv_to_xrgb(direct, xrgb, pitch);
    } else {
        SwsContext* sws = scaler.get(w, h, toFrame ? packed : fmt, toFrame ? fmt : packed, frame->colorspace,
                                     frame->color_range, toFrame);
        if (sws == nullptr) return false;
        uint8_t* planes[4] = {rows, nullptr, nullptr, nullptr};
        int strides[4] = {static_cast<int>(pitch), 0, 0, 0};
        const int done = toFrame ? sws_scale(sws, planes, strides, 0, h, frame->data, frame->linesize)
                                 : sws_scale(sws, frame->data, frame->linesize, 0, h, planes, strides);
        return done == h;
    }
    return true;
}

// The encoder's planes, aligned for any vector width libav uses.
constexpr int kPlaneAlign = 64;

}  // namespace

bool ToXrgb::convert(const AVFrame* in, uint32_t* dst, ptrdiff_t pitch, bool keepAlpha) {
    return convert_xrgb(scaler_, in, dst, pitch, keepAlpha, false);
}

bool FromXrgb::convert(const uint32_t* src, ptrdiff_t pitch, bool alpha, AVFrame* out) {
    // Only read: the frame is the side written.
    return convert_xrgb(scaler_, out, const_cast<uint32_t*>(src), pitch, alpha, true);
}

void FramePool::init(AVPixelFormat format, int width, int height) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    if (d == nullptr || (d->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)) != 0)
        return;
    const int size = av_image_get_buffer_size(format, width, height, kPlaneAlign);
    if (size > 0) pool_.reset(av_buffer_pool_init(static_cast<size_t>(size) + AV_INPUT_BUFFER_PADDING_SIZE, nullptr));
}

bool FramePool::get(AVFrame* f) const {
    if (pool_ == nullptr) return av_frame_get_buffer(f, 0) >= 0;
    f->buf[0] = av_buffer_pool_get(pool_.get());
    if (f->buf[0] == nullptr) return false;
    return av_image_fill_arrays(f->data, f->linesize, f->buf[0]->data, static_cast<AVPixelFormat>(f->format), f->width,
                                f->height, kPlaneAlign) >= 0;
}

void rotate_xrgb(const uint32_t* src, ptrdiff_t pitch, int w, int h, int degrees, uint32_t* dst) {
    const auto at = [&](int x, int y) { return *reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) + y * pitch + x * 4); };
    if (degrees == 180) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) dst[static_cast<size_t>(h - 1 - y) * w + (w - 1 - x)] = at(x, y);
    } else if (degrees == 90) {  // the top row becomes the right column
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) dst[static_cast<size_t>(x) * h + (h - 1 - y)] = at(x, y);
    } else {  // 270: the top row becomes the left column, read upwards
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) dst[static_cast<size_t>(w - 1 - x) * h + y] = at(x, y);
    }
}

// ---- output --------------------------------------------------------------------

namespace {

// Containers whose writer keeps the display matrix (FFmpeg 5.1: the mov family).
bool keeps_display_matrix(const AVOutputFormat* f) {
    for (const char* name : {"mov", "mp4", "3gp", "3g2", "psp", "ipod", "ismv", "f4v"})
        if (std::strcmp(f->name, name) == 0) return true;
    return false;
}

bool is_image_writer(const AVOutputFormat* f) {
    return std::strcmp(f->name, "image2") == 0 || std::strcmp(f->name, "image2pipe") == 0;
}

// Near-transparent defaults for the encoders whose own default is visibly lossy.
void quality_defaults(const AVCodec* c, AVCodecContext* enc, AVDictionary** opts, const EncoderChoice& choice) {
    const std::string n = c->name;
    if (n == "libx264" || n == "libx264rgb" || n == "libx265" || n == "libvpx-vp9" || n == "libvpx" ||
        n == "libaom-av1" || n == "libsvtav1") {
        av_dict_set(opts, "crf", "18", AV_DICT_DONT_OVERWRITE);
        if (n == "libvpx-vp9" || n == "libvpx" || n == "libaom-av1") enc->bit_rate = 0;
    } else if (n == "mpeg4" || n == "mpeg2video" || n == "mpeg1video" || n == "mjpeg" || n == "msmpeg4" ||
               n == "msmpeg4v2" || n == "h263" || n == "libxvid") {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = FF_QP2LAMBDA * 2;
    }
    if (n == "libx265" && !choice.verbose) av_dict_set(opts, "x265-params", "log-level=error", AV_DICT_DONT_OVERWRITE);
}

bool has_private_option(const AVCodec* c, const char* name) {
    return c->priv_class != nullptr &&
           av_opt_find(const_cast<AVClass**>(&c->priv_class), name, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ) != nullptr;
}

AVPixelFormat pick_pixel_format(const AVCodec* c, AVPixelFormat want) {
    if (c->pix_fmts == nullptr) return want;
    for (const AVPixelFormat* p = c->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
        if (*p == want) return want;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(want);
    const int alpha = d != nullptr && (d->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
    return avcodec_find_best_pix_fmt_of_list(c->pix_fmts, want, alpha, nullptr);
}

bool copy_chapters(AVFormatContext* out, const AVFormatContext* in) {
    if (in->nb_chapters == 0) return true;
    out->chapters = static_cast<AVChapter**>(av_calloc(in->nb_chapters, sizeof(AVChapter*)));
    if (out->chapters == nullptr) return false;
    for (unsigned i = 0; i < in->nb_chapters; ++i) {
        auto* c = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (c == nullptr) return false;
        const AVChapter* from = in->chapters[i];
        c->id = from->id;
        c->time_base = from->time_base;
        c->start = from->start;
        c->end = from->end;
        av_dict_copy(&c->metadata, from->metadata, 0);
        out->chapters[out->nb_chapters++] = c;
    }
    return true;
}

bool copy_side_data(AVStream* to, const AVStream* from, bool withDisplayMatrix) {
    for (int i = 0; i < from->nb_side_data; ++i) {
        const AVPacketSideData& sd = from->side_data[i];
        if (!withDisplayMatrix && sd.type == AV_PKT_DATA_DISPLAYMATRIX) continue;
        uint8_t* d = av_stream_new_side_data(to, sd.type, sd.size);
        if (d == nullptr) return false;
        std::memcpy(d, sd.data, sd.size);
    }
    return true;
}

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
    }
    av_packet_free(&pkt);
    return ok;
}

}  // namespace

Sink::~Sink() {
    avcodec_free_context(&enc);
    if (fmt != nullptr) {
        if (fmt->pb != nullptr && (fmt->oformat->flags & AVFMT_NOFILE) == 0) avio_closep(&fmt->pb);
        avformat_free_context(fmt);
    }
}

bool output_format_known(const std::string& outputName, std::string& error) {
    if (av_guess_format(nullptr, outputName.c_str(), nullptr) != nullptr) return true;
    error = "don't know which format to write for " + outputName + " (use an extension such as .mkv or .mp4)";
    return false;
}

bool sink_open(Sink& k, const std::string& outputName, const std::string& writePath, const Source* src,
               const VideoShape& shape, const EncoderChoice& choice, std::vector<std::string>& notes,
               std::string& error) {
    const AVOutputFormat* of = av_guess_format(nullptr, outputName.c_str(), nullptr);
    if (of == nullptr) return output_format_known(outputName, error);
    if (avformat_alloc_output_context2(&k.fmt, of, nullptr, writePath.c_str()) < 0) return (error = "out of memory", false);
    // The same input and settings give the same bytes: no random segment or
    // track UIDs, no library version strings in the file.
    k.fmt->flags |= AVFMT_FLAG_BITEXACT;
    if (k.stop != nullptr) k.fmt->interrupt_callback = {interrupt_cb, const_cast<std::atomic<int>*>(k.stop)};
    k.singlePicture = is_image_writer(of) && !is_sequence_pattern(outputName);

    // The encoder: the one named, else the input's codec where this container
    // holds it, else the container's own default.
    const AVCodec* codec = nullptr;
    const AVStream* ist = src != nullptr ? src->fmt->streams[src->video] : nullptr;
    if (!choice.codec.empty()) {
        codec = avcodec_find_encoder_by_name(choice.codec.c_str());
        if (codec == nullptr || codec->type != AVMEDIA_TYPE_VIDEO)
            return (error = "unknown video encoder " + choice.codec + " (ffmpeg -encoders lists them)", false);
    } else {
        if (ist != nullptr && avformat_query_codec(of, ist->codecpar->codec_id, FF_COMPLIANCE_NORMAL) == 1)
            codec = avcodec_find_encoder(ist->codecpar->codec_id);
        if (codec == nullptr)
            codec = avcodec_find_encoder(av_guess_codec(of, nullptr, outputName.c_str(), nullptr, AVMEDIA_TYPE_VIDEO));
        if (codec == nullptr) return (error = "no video encoder here writes " + outputName + "; choose one with --codec", false);
    }
    if (avformat_query_codec(of, codec->id, FF_COMPLIANCE_NORMAL) == 0)
        return (error = std::string(of->name) + " can't hold " + codec->name + " video; choose another --codec", false);

    // Rotation stays metadata where the container keeps it; otherwise the
    // frames are turned so that the picture still shows upright.
    const int rotation = src != nullptr ? source_rotation(*src) : 0;
    if (rotation != 0 && !keeps_display_matrix(of)) {
        if (rotation < 0) {
            notes.push_back("the input's display matrix (a flip or an odd angle) can't be kept in " + outputName +
                            "; the frames are written as stored");
        } else {
            k.rotate = rotation;
            notes.push_back("the frames are turned " + std::to_string(rotation) + " degrees clockwise, as " +
                            outputName + " can't carry the input's rotation");
        }
    }
    const bool swap = k.rotate == 90 || k.rotate == 270;

    k.enc = avcodec_alloc_context3(codec);
    if (k.enc == nullptr) return (error = "out of memory", false);
    AVCodecContext* e = k.enc;
    e->width = swap ? shape.height : shape.width;
    e->height = swap ? shape.width : shape.height;
    AVPixelFormat want = shape.format;
    if (!choice.pixFmt.empty()) {
        want = av_get_pix_fmt(choice.pixFmt.c_str());
        if (want == AV_PIX_FMT_NONE) return (error = "unknown pixel format " + choice.pixFmt, false);
        if (pick_pixel_format(codec, want) != want)
            return (error = std::string(codec->name) + " doesn't take pixel format " + choice.pixFmt, false);
    }
    e->pix_fmt = pick_pixel_format(codec, want);
    if (e->pix_fmt == AV_PIX_FMT_NONE) return (error = std::string(codec->name) + " takes no pixel format orv can give it", false);
    e->time_base = shape.timeBase;
    e->framerate = shape.frameRate;
    if (ist != nullptr) {
        const AVCodecParameters* p = ist->codecpar;
        e->sample_aspect_ratio = swap ? AVRational{p->sample_aspect_ratio.den, p->sample_aspect_ratio.num}
                                      : p->sample_aspect_ratio;
        if (e->sample_aspect_ratio.den == 0) e->sample_aspect_ratio = {0, 1};
        e->color_primaries = p->color_primaries;
        e->color_trc = p->color_trc;
        e->colorspace = p->color_space;
        e->color_range = p->color_range;
        e->chroma_sample_location = p->chroma_location;
        e->field_order = p->field_order;
    }
    const bool outRgb = is_rgb(e->pix_fmt), inRgb = is_rgb(shape.format);
    if (outRgb) {
        e->colorspace = AVCOL_SPC_RGB;
        e->color_range = AVCOL_RANGE_UNSPECIFIED;
    } else if (inRgb) {
        // RGB made into YUV: the matrix of its size class, tagged as such.
        e->colorspace = e->height >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
        e->color_range = AVCOL_RANGE_MPEG;
    }
    if (full_range(e->pix_fmt, AVCOL_RANGE_UNSPECIFIED)) e->color_range = AVCOL_RANGE_JPEG;
    e->thread_count = 0;
    e->flags |= AV_CODEC_FLAG_BITEXACT;
    if ((of->flags & AVFMT_GLOBALHEADER) != 0) e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* opts = nullptr;
    for (const auto& [key, value] : choice.options) av_dict_set(&opts, key.c_str(), value.c_str(), 0);
    if (!choice.crf.empty()) {
        if (!has_private_option(codec, "crf")) {
            av_dict_free(&opts);
            return (error = std::string(codec->name) + " has no --crf setting", false);
        }
        av_dict_set(&opts, "crf", choice.crf.c_str(), AV_DICT_DONT_OVERWRITE);
    }
    if (!choice.preset.empty()) {
        if (!has_private_option(codec, "preset")) {
            av_dict_free(&opts);
            return (error = std::string(codec->name) + " has no --preset setting", false);
        }
        av_dict_set(&opts, "preset", choice.preset.c_str(), AV_DICT_DONT_OVERWRITE);
    }
    quality_defaults(codec, e, &opts, choice);
    int rc = avcodec_open2(e, codec, &opts);
    const AVDictionaryEntry* left = av_dict_get(opts, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    const std::string leftKey = left != nullptr ? left->key : "";
    av_dict_free(&opts);
    if (rc < 0) return (error = std::string("cannot open the encoder ") + codec->name + ": " + av_error_text(rc), false);
    if (!leftKey.empty()) return (error = std::string(codec->name) + " has no option " + leftKey, false);

    k.video = avformat_new_stream(k.fmt, nullptr);
    if (k.video == nullptr || avcodec_parameters_from_context(k.video->codecpar, e) < 0)
        return (error = "out of memory", false);
    k.video->time_base = e->time_base;
    k.video->avg_frame_rate = shape.frameRate;

    if (src != nullptr) {
        AVFormatContext* ic = src->fmt;
        av_dict_copy(&k.fmt->metadata, ic->metadata, 0);
        av_dict_copy(&k.video->metadata, ist->metadata, 0);
        av_dict_set(&k.video->metadata, "encoder", nullptr, 0);  // it named the input's encoder
        k.video->disposition = ist->disposition;
        if (!copy_side_data(k.video, ist, k.rotate == 0 && rotation != 0) || !copy_chapters(k.fmt, ic))
            return (error = "out of memory", false);
        k.streamMap.assign(ic->nb_streams, -1);
        for (unsigned i = 0; i < ic->nb_streams; ++i) {
            const AVStream* s = ic->streams[i];
            if (static_cast<int>(i) == src->video) continue;
            // Attachments (fonts and the like) have no codec a writer lists:
            // Matroska holds them, others don't.
            const bool attachment = s->codecpar->codec_type == AVMEDIA_TYPE_ATTACHMENT;
            const bool holds = attachment ? std::strcmp(of->name, "matroska") == 0
                                          : avformat_query_codec(of, s->codecpar->codec_id, FF_COMPLIANCE_NORMAL) != 0;
            if (!holds || is_image_writer(of)) {
                notes.push_back(std::string("stream ") + std::to_string(i) + " (" +
                                av_get_media_type_string(s->codecpar->codec_type) + ", " +
                                avcodec_get_name(s->codecpar->codec_id) + ") is left out: " + outputName +
                                " can't hold it");
                continue;
            }
            AVStream* os = avformat_new_stream(k.fmt, nullptr);
            if (os == nullptr || avcodec_parameters_copy(os->codecpar, s->codecpar) < 0)
                return (error = "out of memory", false);
            os->codecpar->codec_tag = 0;
            os->time_base = s->time_base;
            os->disposition = s->disposition;
            av_dict_copy(&os->metadata, s->metadata, 0);
            if (!copy_side_data(os, s, true)) return (error = "out of memory", false);
            k.streamMap[i] = os->index;
        }
    }

    if (k.singlePicture) av_opt_set_int(k.fmt->priv_data, "update", 1, 0);
    if ((of->flags & AVFMT_NOFILE) == 0) {
        rc = avio_open2(&k.fmt->pb, writePath.c_str(), AVIO_FLAG_WRITE, &k.fmt->interrupt_callback, nullptr);
        if (rc < 0) return (error = "cannot write " + outputName + ": " + av_error_text(rc), false);
    }
    rc = avformat_write_header(k.fmt, nullptr);
    if (rc < 0) return (error = "cannot write " + outputName + ": " + av_error_text(rc), false);
    return true;
}

bool sink_write_frame(Sink& k, AVFrame* frame, std::string& error) {
    const int rc = avcodec_send_frame(k.enc, frame);
    if (rc < 0 && !(frame == nullptr && rc == AVERROR_EOF)) return (error = "the encoder failed: " + av_error_text(rc), false);
    return write_packets(k, error);
}

bool sink_write_copy(Sink& k, const Source& src, AVPacket* pkt, std::string& error) {
    const int to = pkt->stream_index < static_cast<int>(k.streamMap.size()) ? k.streamMap[pkt->stream_index] : -1;
    if (to < 0) return true;
    av_packet_rescale_ts(pkt, src.fmt->streams[pkt->stream_index]->time_base, k.fmt->streams[to]->time_base);
    pkt->stream_index = to;
    pkt->pos = -1;
    const int rc = av_interleaved_write_frame(k.fmt, pkt);
    if (rc < 0) return (error = av_error_text(rc), false);
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
