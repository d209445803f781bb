// What the input's video is, as the input describes it and the output
// carries it on.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace orv::cli {

// What the input's video is, for the output to carry on: geometry, timing,
// and the description a player needs.
struct VideoShape {
    int width = 0, height = 0;
    AVPixelFormat format = AV_PIX_FMT_BGR0;
    AVRational timeBase{1, 25}, frameRate{25, 1};
    AVRational steadyRate{25, 1};  // the rate for a container that holds one (ffmpeg's guess from the stream)
    AVRational sar{0, 1};
    AVFieldOrder fieldOrder = AV_FIELD_UNKNOWN;
    AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
    AVColorTransferCharacteristic trc = AVCOL_TRC_UNSPECIFIED;
    AVColorSpace space = AVCOL_SPC_UNSPECIFIED;
    AVColorRange range = AVCOL_RANGE_UNSPECIFIED;
    AVChromaLocation chromaLocation = AVCHROMA_LOC_UNSPECIFIED;
    int rotation = 0;                // clockwise degrees a player turns it; -1 a flip or odd angle
    const AVFrame* first = nullptr;  // the first frame, for the side data that describes the stream (HDR)
};

// True for the field orders of interlaced video.
bool interlaced(AVFieldOrder f);

}  // namespace orv::cli
