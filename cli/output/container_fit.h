// What a container holds and which encoder writes it, asked of the libraries
// themselves: the muxer's own codec query, and where that has no answer or
// is stricter than the muxer, a trial header written to memory.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace orv::cli {

// True when the muxer `of` writes a stream of these parameters; `rate` is
// a video's frame rate (some muxers, MXF's, take only the rates they know).
bool container_holds(const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate = {0, 0});

// The encoder for `id`: where several exist, the one that runs at a usable
// speed at its default settings (SVT-AV1 before libaom) and keeps what the
// input holds (prores_ks, which keeps 4444 alpha).
const AVCodec* preferred_encoder(AVCodecID id);

// The time base the encoder takes for frames at `rate`, given the input's
// `timeBase`: codecs that count frames (MPEG-1/2 with its list of rates,
// Theora) and the MPEG-4 family's 16-bit denominator need 1/rate; `rate` is
// moved to the nearest the encoder lists.
AVRational encoder_time_base(const AVCodec* c, AVRational timeBase, AVRational& rate);

}  // namespace orv::cli
