// The pictures between FFmpeg's libraries and the module: conversions to and
// from the module's 32-bit XRGB (libav's bgr0: blue, green, red, pad in
// memory order), the encoder's frame buffers and the turn for rotation.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orv::cli {

// libav's error code as text.
std::string av_error_text(int code);

// True when the name is a numbered pattern such as img%03d.png.
bool is_sequence_pattern(const std::string& name);

// True when the YUV samples of format `f` with range `r` span 0 to 255
// (libav's yuvj formats say so by their name).
bool full_range(AVPixelFormat f, AVColorRange r);

// Gives `out` the alpha plane of `in` sample for sample, where both keep
// alpha in a plane of its own at the same depth and size; false otherwise.
bool copy_alpha_plane(const AVFrame* in, AVFrame* out);

// ---- conversions ---------------------------------------------------------------

// A libswscale context kept for as long as the conversion it was made for
// stays the same (size, formats, matrix and range): making one costs more
// than converting a frame.
class CachedScaler {
public:
    // The context from `from` to `to` at w x h; `yuvSide` is the non-RGB
    // side's matrix and range (ignored when both sides are RGB), `toYuv` which
    // side that is. Null when libswscale can't make it.
    SwsContext* get(int w, int h, AVPixelFormat from, AVPixelFormat to, AVColorSpace space, AVColorRange range,
                    bool toYuv);

private:
    struct Free {
        void operator()(SwsContext* c) const { sws_freeContext(c); }
    };
    std::unique_ptr<SwsContext, Free> sws_;
    int key_[7] = {-1, -1, -1, -1, -1, -1, -1};
};

// Converts frames of any pixel format to XRGB rows with the frame's own matrix
// and range, accurate rounding and full chroma interpolation. `keepAlpha`
// puts the frame's alpha in the top byte instead of padding.
class ToXrgb {
public:
    bool convert(const AVFrame* in, uint32_t* dst, ptrdiff_t pitch, bool keepAlpha);

private:
    CachedScaler scaler_;
};

// Converts XRGB rows to the encoder's pixel format with the given matrix and range.
class FromXrgb {
public:
    bool convert(const uint32_t* src, ptrdiff_t pitch, bool alpha, AVFrame* out);

private:
    CachedScaler scaler_;
};

// Picture buffers for the encoder's frames, reused once the encoder lets go
// of them: a fresh buffer per frame costs a page fault per 4 KiB. Any thread
// may take from it.
class FramePool {
public:
    // `align`: of the rows and planes, by default for any vector width libav
    // uses; 4 packs rows of 32-bit pixels without padding.
    void init(AVPixelFormat format, int width, int height, int align = 64);
    // Gives `f` (format and size set as at init) its planes.
    bool get(AVFrame* f) const;

private:
    struct Free {
        void operator()(AVBufferPool* p) const { av_buffer_pool_uninit(&p); }
    };
    std::unique_ptr<AVBufferPool, Free> pool_;  // null for layouts it leaves to libav (palettes)
    int paddedHeight_ = 0;
    int align_ = 64;
};

// Turns an XRGB picture of w x h clockwise by 90, 180 or 270 degrees into
// `dst` (h x w for 90 and 270), rows packed.
void rotate_xrgb(const uint32_t* src, ptrdiff_t pitch, int w, int h, int degrees, uint32_t* dst);

}  // namespace orv::cli
