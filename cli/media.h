// Video in and out of the process through FFmpeg's libraries: the demuxer and
// decoder of the input, the conversions to and from the module's 32-bit XRGB
// (libav's bgr0: blue, green, red, pad in memory order), and the muxer that
// takes the denoised video beside every other stream copied as it is.
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

// ---- input -------------------------------------------------------------------

struct Source {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* dec = nullptr;
    AVIOContext* customIo = nullptr;  // owned when the caller hands in memory
    int video = -1;
    bool draining = false, ended = false;
    int64_t badPackets = 0;  // packets the decoder refused; reported, not fatal
    const std::atomic<int>* stop = nullptr;
    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();
};

// Opens a file (or, with `io`, a stream the caller made) and the decoder of
// its main video stream. `threads` is the decoder's thread count, 0 for
// libav's choice. False with a one-line `error`.
bool source_open(Source& s, const std::string& path, AVIOContext* io, int threads, std::string& error);

enum class SourceItem { Frame, Packet, End, Error };

// The next decoded video frame, or the next packet of another stream (for
// copying), or the end. Packets that don't decode are counted and skipped.
SourceItem source_next(Source& s, AVFrame* frame, AVPacket* pkt, std::string& error);

// The rotation the input asks for at display, clockwise in degrees (0, 90,
// 180, 270), or -1 when its display matrix is something else (a flip or an
// odd angle). 0 without a display matrix.
int source_rotation(const Source& s);

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
    void init(AVPixelFormat format, int width, int height);
    // Gives `f` (format and size set as at init) its planes.
    bool get(AVFrame* f) const;

private:
    struct Free {
        void operator()(AVBufferPool* p) const { av_buffer_pool_uninit(&p); }
    };
    std::unique_ptr<AVBufferPool, Free> pool_;  // null for layouts it leaves to libav (palettes)
};

// Turns an XRGB picture of w x h clockwise by 90, 180 or 270 degrees into
// `dst` (h x w for 90 and 270), rows packed.
void rotate_xrgb(const uint32_t* src, ptrdiff_t pitch, int w, int h, int degrees, uint32_t* dst);

// ---- output --------------------------------------------------------------------

struct EncoderChoice {
    std::string codec;  // encoder name; empty for the default
    std::string crf, preset, pixFmt;
    std::vector<std::pair<std::string, std::string>> options;
    bool verbose = false;
};

struct Sink {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* enc = nullptr;
    AVStream* video = nullptr;
    std::vector<int> streamMap;  // input stream index -> output index, -1 when left out
    int rotate = 0;              // degrees the frames are turned before encoding
    bool singlePicture = false;  // the output holds one picture
    // Set by a signal: the encoder's drain and libav's writes give up soon
    // after, so that stopping doesn't wait for a long trailer.
    const std::atomic<int>* stop = nullptr;
    Sink() = default;
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
    ~Sink();
};

// What the sink is made from: the input (null for raw frames) and its video
// geometry and timing.
struct VideoShape {
    int width = 0, height = 0;
    AVPixelFormat format = AV_PIX_FMT_BGR0;
    AVRational timeBase{1, 25}, frameRate{25, 1};
};

// Checks that `outputName` names a format libav writes.
bool output_format_known(const std::string& outputName, std::string& error);

// Sets up the muxer for `outputName` writing to `writePath`, the encoder and
// every copied stream, and writes the header: every refusal (unknown codec,
// encoder option, pixel format) comes here, before any frame is read.
// `notes` gets the lines the user should see (rotation applied, streams left out).
bool sink_open(Sink& k, const std::string& outputName, const std::string& writePath, const Source* src,
               const VideoShape& shape, const EncoderChoice& choice, std::vector<std::string>& notes,
               std::string& error);

// Encodes one frame (null to drain) and writes its packets.
bool sink_write_frame(Sink& k, AVFrame* frame, std::string& error);
// Writes a packet of input stream `index` when that stream is copied.
bool sink_write_copy(Sink& k, const Source& src, AVPacket* pkt, std::string& error);
// Drains the encoder, writes the trailer and closes the file; every write
// error, a full disk included, shows here at the latest. False also when
// `stop` was set on the way.
bool sink_finish(Sink& k, std::string& error);

}  // namespace orv::cli
