// The container rules, in one place: what a container holds and as what
// (asked of the libraries themselves: the muxer's own codec query, and where
// that has no answer or is stricter than the muxer, a trial header written to
// memory), how it keeps time, rotation and tags, and which encoder writes it.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace orv::cli {

// While set-up tries something on the libraries (a trial header and its
// read-back, an encoder opened to find a rate), their complaints are
// answers, not damage or errors of the run: the log drops them.
struct TrialQuiet {
    TrialQuiet();
    ~TrialQuiet();
    TrialQuiet(const TrialQuiet&) = delete;
    TrialQuiet& operator=(const TrialQuiet&) = delete;
};
bool trial_running();

// True when the muxer `of` writes a stream of these parameters as what it
// is (not as private data); `rate` is a video's frame rate (some muxers,
// MXF's, take only the rates they know); `beside` is the video stream the
// file will hold first, where there is one.
bool container_holds(const AVOutputFormat* of, const AVCodecParameters* par, AVRational rate = {0, 0},
                     const AVStream* beside = nullptr);

// The tag a copied stream keeps, as ffmpeg decides: the input's where the
// muxer maps it to the same codec or has no tag of its own for the codec,
// else 0 (the muxer picks).
uint32_t kept_codec_tag(const AVOutputFormat* of, const AVCodecParameters* par);

// True when the muxer's header takes video of the encoder `c` in `format`
// (Y4M holds a few planar YUV and grey formats only).
bool muxer_takes_pixel_format(const AVOutputFormat* of, const AVCodec* c, AVPixelFormat format, int width, int height);

// The encoder for `id`: where several exist, the one that runs at a usable
// speed at its default settings (SVT-AV1 before libaom) and keeps what the
// input holds (prores_ks, which keeps 4444 alpha).
const AVCodec* preferred_encoder(AVCodecID id);

// The time base the encoder takes for frames at `rate`, given the input's
// `timeBase`: codecs that count frames (MPEG-1/2 with its list of rates,
// Theora) and the MPEG-4 family's 16-bit denominator need 1/rate; `rate` is
// moved to the nearest the encoder lists.
AVRational encoder_time_base(const AVCodec* c, AVRational timeBase, AVRational& rate);

// True when the muxer `of` takes a copy of a stream of these parameters
// beside the video `beside`: attachments only in Matroska, nothing beside
// pictures.
bool container_holds_copy(const AVOutputFormat* of, const AVCodecParameters* par, const AVStream* beside);

// The bitstream filter a copied stream needs to be held by `of`, or null:
// H.264 and HEVC from mp4 or Matroska carry their NALs' lengths, and a muxer
// without global headers (AVI, MPEG-PS) takes start codes.
const char* annexb_filter(const AVOutputFormat* of, const AVCodecParameters* par);

// Containers whose writer keeps the display matrix (FFmpeg 5.1: the mov
// family); elsewhere the frames are turned.
bool keeps_display_matrix(const AVOutputFormat* f);

// Pictures, one file each or piped.
bool is_image_writer(const AVOutputFormat* f);
// Pictures as files, which hold no times at all.
bool is_picture_files(const AVOutputFormat* f);

// Containers that hold one frame rate, whatever the frames' times: AVI, Y4M
// and RealMedia count frames, raw streams, MXF and pictures carry no times.
bool holds_one_rate(const AVOutputFormat* f);

// Containers of one rate that keep no gap in the frames' times (MXF, Y4M,
// raw streams): a gap is filled with the frame before it, shown again.
bool fills_gaps(const AVOutputFormat* f);

// A muxer of one video codec and nothing else (.m2v, .h264, .ivf, .y4m)
// names its codec by its extension, as libavformat's own guess does.
bool names_its_codec(const AVOutputFormat* f);

// Matroska and NUT write every tag of a stream; the others only the few
// their format names (AVI's INFO list has no timecode).
bool writes_any_tag(const AVOutputFormat* f);

}  // namespace orv::cli
