// The output written through libavformat and libavcodec: the denoised video
// encoded beside every other stream of the input copied as it is.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
}

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/frames/video_shape.h"
#include "cli/input/input_libav.h"
#include "cli/options.h"

namespace orv::cli {

struct Sink {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* enc = nullptr;
    AVStream* video = nullptr;
    std::vector<int> streamMap;  // input stream index -> output index, -1 when left out
    std::vector<AVBSFContext*> annexB;  // by input stream index: NAL lengths to start codes, where needed
    AVRational sar{0, 1};        // as the input has it, before an encoder rounds it
    int rotate = 0;              // degrees the frames are turned before encoding
    bool singlePicture = false;  // the output holds one picture
    AVRational frameTimeBase{1, 25};  // of the frames handed in
    int64_t lastPts = AV_NOPTS_VALUE;
    int64_t packetsOut = 0;                  // video packets written: the frames the encoder has finished
    std::function<void(int64_t)> onPacket;   // told packetsOut after each
    bool oneRate = false;  // the container holds one frame rate: frames go on its ticks
    int64_t offTick = 0;   // frames that didn't fall on the tick after the one before
    // The container keeps no gap in the frames' times (MXF, Y4M, raw
    // streams): a gap is filled with the frame before it, shown again.
    bool fillGaps = false;
    AVFrame* held = nullptr;  // the frame before, for a gap after it
    int64_t repeated = 0;     // frames written again into gaps
    // Set by a signal: the encoder's drain and libav's writes give up soon
    // after, so that stopping doesn't wait for a long trailer.
    const std::atomic<int>* stop = nullptr;
    Sink() = default;
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
    ~Sink();
};

// With --codec, the values of its options checked before anything is read:
// an option it lacks, a value the option doesn't take.
bool encoder_values_fit(const EncoderRecord& r, std::string& error);

// Called with every libav log line, first: an encoder's error lines while
// it opens become part of the error that names it; true for the lines of
// set-up's trials, which go nowhere.
bool output_setup_takes_line(void* avcl, int level, const char* fmt, va_list vl);

// Checks that `format` (--format), else `outputName`, names a format libav writes.
bool output_format_known(const std::string& outputName, const std::string& format, std::string& error);

// Sets up the muxer for `outputName` writing to `writePath`, the encoder and
// every copied stream, and writes the header: every refusal (unknown codec,
// encoder option, pixel format) comes here, before any frame is read. `src`
// is null for raw frames. `notes` gets the lines the user should see
// (rotation applied, streams left out).
bool sink_open(Sink& k, const std::string& outputName, const std::string& writePath, const Source* src,
               const VideoShape& shape, const EncoderRecord& record, std::vector<std::string>& notes,
               std::string& error);

// Encodes one frame (null to drain) and writes its packets. The frame's pts
// is in the input's time base; frames without one follow the one before.
bool sink_write_frame(Sink& k, AVFrame* frame, std::string& error);
// Writes a packet of input stream `index` when that stream is copied.
bool sink_write_copy(Sink& k, const Source& src, AVPacket* pkt, std::string& error);
// Drains the encoder, writes the trailer and closes the file; every write
// error, a full disk included, shows here at the latest. False also when
// `stop` was set on the way.
bool sink_finish(Sink& k, std::string& error);

}  // namespace orv::cli
