// The input read through libavformat and libavcodec: the main video stream
// decoded, every other stream's packets handed on for copying.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <deque>
#include <string>

namespace orv::cli {

struct Source {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* dec = nullptr;
    AVIOContext* customIo = nullptr;  // owned when the caller hands in memory
    int video = -1;
    bool draining = false, ended = false;
    bool leadSkipped = false;  // undecodable packets came before the first frame, and were skipped
    int64_t badPackets = 0;  // packets or frames the decoder refused: the input is damaged
    bool readFailed = false;  // the demuxer gave up before the end: the input is damaged
    // Streams without timestamps (raw H.264 and the like) are timed by
    // counting frames at `rate`, in a time base of 1/rate.
    bool countFrames = false;
    AVRational rate{25, 1};
    int64_t framesOut = 0;
    int64_t packetsIn = 0;  // of the video stream, read to its end: fewer than its header lists is damage
    AVFrame* first = nullptr;         // read ahead by source_peek, handed out first
    std::deque<AVPacket*> pending;    // packets of other streams read before it
    const std::atomic<int>* stop = nullptr;
    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();
};

// Demuxers and decoders report much damage only in their log: a frame
// concealed, a file cut short. orv's log callback hands every message here;
// errors from a demuxer or decoder are counted, the first kept as text.
void note_read_error(void* avcl, int level, const char* fmt, va_list vl);
// How many such errors came so far, and the first one's text.
int64_t read_errors(std::string& first);

// Errors before the first frame are no damage (a capture cut mid-GOP).
void forget_read_errors();

// A name that libav reads as a stream, not a file: pipe:, pipe:N, http://,
// https://. Every other name is a file, colons and all.
bool names_a_stream(const std::string& name);

// libav's interrupt hook: true once the flag `opaque` points at is set.
int libav_interrupt(void* opaque);

// Opens a file (or, with `io`, a stream the caller made) and the decoder of
// its main video stream. `threads` is the decoder's thread count, 0 for
// libav's choice. False with a one-line `error`.
bool source_open(Source& s, const std::string& path, AVIOContext* io, int threads, std::string& error);

enum class SourceItem { Frame, Packet, End, Error };

// Reads ahead to the first frame, which describes the stream better than its
// header (the decoder's own pixel format, interlacing, HDR side data), and
// decides how frames are timed: `rate` for a stream without timestamps
// (the stream's own when `rate` is 0/0). The frame stays in `s.first`.
bool source_peek(Source& s, AVRational rate, std::string& error);

// The next decoded video frame with its pts set, or the next packet of
// another stream (for copying), or the end. Packets that don't decode are
// counted and skipped; a demuxer that gives up ends the input early.
SourceItem source_next(Source& s, AVFrame* frame, AVPacket* pkt, std::string& error);

// The time base of the frames source_next gives.
AVRational source_time_base(const Source& s);

// The rotation the input asks for at display, clockwise in degrees (0, 90,
// 180, 270), or -1 when its display matrix is something else (a flip or an
// odd angle). 0 without a display matrix.
int source_rotation(const Source& s);

}  // namespace orv::cli
