#include "cli/input/input.h"

#include "cli/frames/media.h"
#include "cli/output/sequence_files.h"

extern "C" {
#include <libavutil/parseutils.h>
}

namespace orv::cli {

namespace {

VideoShape describe(const Source& s) {
    const AVStream* st = s.fmt->streams[s.video];
    const AVCodecParameters* par = st->codecpar;
    const AVFrame* f = s.first;
    VideoShape v;
    v.width = f != nullptr ? f->width : par->width;
    v.height = f != nullptr ? f->height : par->height;
    v.format = static_cast<AVPixelFormat>(f != nullptr ? f->format : par->format);
    v.timeBase = source_time_base(s);
    v.frameRate = s.rate;
    const AVRational guess = av_guess_frame_rate(s.fmt, const_cast<AVStream*>(st), nullptr);
    v.steadyRate = s.countFrames || guess.num <= 0 || guess.den <= 0 ? s.rate : guess;
    v.sar = av_guess_sample_aspect_ratio(s.fmt, const_cast<AVStream*>(st), const_cast<AVFrame*>(f));
    v.fieldOrder = par->field_order;
    if ((v.fieldOrder == AV_FIELD_UNKNOWN || v.fieldOrder == AV_FIELD_PROGRESSIVE) && f != nullptr && f->interlaced_frame)
        v.fieldOrder = f->top_field_first ? AV_FIELD_TT : AV_FIELD_BB;
    v.primaries = par->color_primaries;
    v.trc = par->color_trc;
    v.space = par->color_space;
    v.range = par->color_range;
    v.chromaLocation = par->chroma_location;
    v.rotation = source_rotation(s);
    v.first = f;
    return v;
}

bool libav_open(Input& in, const Options& o, std::string& error) {
    if (!source_open(in.libav, o.input, nullptr, 0, error)) return false;
    AVRational rate{0, 0};
    if (!o.rate.empty() && (av_parse_video_rate(&rate, o.rate.c_str()) < 0 || rate.num <= 0))
        return (error = "--rate takes a frame rate such as 25 or 30000/1001, not '" + o.rate + "'", false);
    if (!source_peek(in.libav, rate, error)) return false;
    in.source = &in.libav;
    in.shape = describe(in.libav);
    return true;
}

SourceItem libav_next(Input& in, AVFrame* frame, AVPacket* pkt, std::string& error) {
    return source_next(in.libav, frame, pkt, error);
}

std::string libav_damage(const Input& in) {
    const Source& s = in.libav;
    std::string first;
    const int64_t reported = read_errors(first);
    std::string line;
    const auto add = [&line](const std::string& part) { line += (line.empty() ? "" : "; ") + part; };
    if (s.badPackets > 0) add(std::to_string(s.badPackets) + " packets or frames could not be decoded and were skipped");
    if (s.readFailed) add("it could not be read to its end");
    const int64_t listed = s.fmt->streams[s.video]->nb_frames;
    if (s.ended && listed > s.packetsIn)
        add("its header lists " + std::to_string(listed) + " frames and " + std::to_string(s.packetsIn) + " were there");
    if (reported > 0)
        add("its reader reported " + std::to_string(reported) + (reported == 1 ? " error" : " errors") + " (the first: " +
            first + "), and frames may be concealed or missing");
    return line.empty() ? line : "the input is damaged: " + line;
}

int64_t libav_frame_count(const Input& in) {
    const Source& s = in.libav;
    const AVStream* st = s.fmt->streams[s.video];
    if (st->nb_frames > 0) return st->nb_frames;
    if (s.fmt->duration > 0 && s.rate.num > 0) return av_rescale_q(s.fmt->duration, AV_TIME_BASE_Q, av_inv_q(s.rate));
    return -1;
}

}  // namespace

const InputKind kLibavInput{"libav", libav_open, libav_next, libav_damage, libav_frame_count};

const InputKind& input_pick(const Options& o) { return o.input == "-" ? kRawInput : kLibavInput; }

// libav reads a sequence up to its first missing number.
std::string sequence_gap(const std::string& pattern) {
    if (!is_sequence_pattern(pattern)) return {};
    const std::vector<SequenceFile> files = existing_files(pattern);
    for (size_t i = 1; i < files.size(); ++i)
        if (files[i].number != files[i - 1].number + 1) {
            const std::vector<SequenceFile> past(files.begin() + static_cast<std::ptrdiff_t>(i), files.end());
            return pattern + " ends at " + files[i - 1].path + ", the last before a gap in its numbers: " +
                   name_some(past) + (past.size() == 1 ? " is" : " are") + " not read";
        }
    return {};
}

bool input_open(Input& in, const Options& o, std::string& error) {
    in.kind = &input_pick(o);
    if (!in.kind->open(in, o, error)) return false;
    const int64_t pixels = static_cast<int64_t>(in.shape.width) * in.shape.height;
    if (in.shape.width > 32768 || in.shape.height > 32768 || pixels > (int64_t{1} << 28))
        return (error = "frame size " + std::to_string(in.shape.width) + "x" + std::to_string(in.shape.height) +
                        " doesn't fit the filter",
                false);
    if (o.width != 0 && (o.width != in.shape.width || o.height != in.shape.height))
        return (error = "--size " + std::to_string(o.width) + "x" + std::to_string(o.height) + " doesn't fit the input's " +
                        std::to_string(in.shape.width) + "x" + std::to_string(in.shape.height) + " frames",
                false);
    return true;
}

}  // namespace orv::cli
