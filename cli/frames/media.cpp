#include "cli/frames/media.h"

#include "cli/frames/yuv_to_xrgb.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <cstring>

namespace orv::cli {

std::string av_error_text(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

bool is_sequence_pattern(const std::string& name) { return av_filename_number_test(name.c_str()) != 0; }

bool full_range(AVPixelFormat f, AVColorRange r) {
    return r == AVCOL_RANGE_JPEG || f == AV_PIX_FMT_YUVJ420P || f == AV_PIX_FMT_YUVJ422P || f == AV_PIX_FMT_YUVJ444P ||
           f == AV_PIX_FMT_YUVJ440P || f == AV_PIX_FMT_YUVJ411P;
}

namespace {

// The plane that holds only alpha, or -1 (packed formats, no alpha).
int alpha_plane(const AVPixFmtDescriptor* d) {
    if (d == nullptr || (d->flags & AV_PIX_FMT_FLAG_ALPHA) == 0 || d->nb_components < 2) return -1;
    const AVComponentDescriptor& a = d->comp[d->nb_components - 1];
    for (int i = 0; i + 1 < d->nb_components; ++i)
        if (d->comp[i].plane == a.plane) return -1;
    return a.plane;
}

}  // namespace

bool copy_alpha_plane(const AVFrame* in, AVFrame* out) {
    const AVPixFmtDescriptor* di = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(in->format));
    const AVPixFmtDescriptor* dout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(out->format));
    const int pi = alpha_plane(di), po = alpha_plane(dout);
    if (pi < 0 || po < 0 || in->width != out->width || in->height != out->height) return false;
    const AVComponentDescriptor& ai = di->comp[di->nb_components - 1];
    const AVComponentDescriptor& ao = dout->comp[dout->nb_components - 1];
    if (ai.step != ao.step || ai.shift != 0 || ao.shift != 0 || ((di->flags | dout->flags) & AV_PIX_FMT_FLAG_BE) != 0)
        return false;
    if (ai.depth == ao.depth) {
        av_image_copy_plane(out->data[po], out->linesize[po], in->data[pi], in->linesize[pi], in->width * ai.step, in->height);
        return true;
    }
    if (ai.step != 2) return false;
    // Between depths of one 16-bit layout (ProRes' 12 bits decoded, 10
    // encoded): the samples move by the difference, as the codec's own
    // scaling of its 16-bit alpha does, so a round trip gives them back.
    const int up = ao.depth - ai.depth;
    for (int y = 0; y < in->height; ++y) {
        const auto* s = reinterpret_cast<const uint16_t*>(in->data[pi] + static_cast<ptrdiff_t>(y) * in->linesize[pi]);
        auto* d = reinterpret_cast<uint16_t*>(out->data[po] + static_cast<ptrdiff_t>(y) * out->linesize[po]);
        for (int x = 0; x < in->width; ++x) d[x] = static_cast<uint16_t>(up > 0 ? s[x] << up : s[x] >> -up);
    }
    return true;
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

}  // namespace

bool ToXrgb::convert(const AVFrame* in, uint32_t* dst, ptrdiff_t pitch, bool keepAlpha) {
    return convert_xrgb(scaler_, in, dst, pitch, keepAlpha, false);
}

bool FromXrgb::convert(const uint32_t* src, ptrdiff_t pitch, bool alpha, AVFrame* out) {
    // Only read: the frame is the side written.
    return convert_xrgb(scaler_, out, const_cast<uint32_t*>(src), pitch, alpha, true);
}

void FramePool::init(AVPixelFormat format, int width, int height, int align) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    if (d == nullptr || (d->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)) != 0)
        return;
    // Planes laid out for a height rounded up to 32 rows, as libav's own
    // frames are: encoders read whole macroblock rows (a field's, for
    // interlaced coding) past the picture's last row. Zeroed once, those
    // rows are never written, so what is read there is always the same.
    paddedHeight_ = FFALIGN(height, 32);
    align_ = align;
    const int size = av_image_get_buffer_size(format, width, paddedHeight_, align_);
    if (size > 0)
        pool_.reset(av_buffer_pool_init(static_cast<size_t>(size) + AV_INPUT_BUFFER_PADDING_SIZE, av_buffer_allocz));
}

bool FramePool::get(AVFrame* f) const {
    if (pool_ == nullptr) return av_frame_get_buffer(f, align_) >= 0;
    f->buf[0] = av_buffer_pool_get(pool_.get());
    if (f->buf[0] == nullptr) return false;
    return av_image_fill_arrays(f->data, f->linesize, f->buf[0]->data, static_cast<AVPixelFormat>(f->format), f->width,
                                paddedHeight_, align_) >= 0;
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

}  // namespace orv::cli
