#include "cli/input/input_libav.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavutil/display.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

#include "cli/frames/media.h"
#include "cli/input/input.h"
#include "cli/output/sequence_files.h"

namespace orv::cli {

namespace {

// A decoder that keeps refusing while it drains has nothing more to give.
constexpr int kMaxDrainErrors = 1000;

// The native VP9 decoder leaves out the alpha that WebM carries beside the
// picture (alpha_mode 1); libvpx decodes it.
const AVCodec* choose_decoder(const AVStream* st, const AVCodec* found) {
    const AVDictionaryEntry* alpha = av_dict_get(st->metadata, "alpha_mode", nullptr, 0);
    if (st->codecpar->codec_id == AV_CODEC_ID_VP9 && alpha != nullptr && std::strcmp(alpha->value, "1") == 0)
        if (const AVCodec* c = avcodec_find_decoder_by_name("libvpx-vp9")) return c;
    return found;
}

bool open_decoder(Source& s, const std::string& path, const AVCodec* codec, int threads, std::string& error) {
    const AVStream* st = s.fmt->streams[s.video];
    codec = choose_decoder(st, codec);
    s.dec = avcodec_alloc_context3(codec);
    if (s.dec == nullptr || avcodec_parameters_to_context(s.dec, st->codecpar) < 0) return (error = "out of memory", false);
    s.dec->pkt_timebase = st->time_base;
    s.dec->thread_count = threads;
    s.dec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    const int rc = avcodec_open2(s.dec, codec, nullptr);
    if (rc < 0) return (error = "cannot decode " + path + ": " + av_error_text(rc), false);
    return true;
}

// Reads one packet: a video packet goes to the decoder (0), another stream's
// stays in `pkt` (1), an interruption is -1. A demuxer that fails before
// the end ends the input there, as damaged: what it gave is still decoded.
int feed_decoder(Source& s, AVPacket* pkt, std::string& error) {
    int rc = av_read_frame(s.fmt, pkt);
    if (rc == AVERROR_EXIT) return (error = "interrupted", -1);
    if (rc < 0) {
        if (rc != AVERROR_EOF) s.readFailed = true;
        s.draining = true;
        avcodec_send_packet(s.dec, nullptr);
        return 0;
    }
    if (pkt->stream_index != s.video) return 1;
    ++s.packetsIn;
    rc = avcodec_send_packet(s.dec, pkt);
    av_packet_unref(pkt);
    if (rc < 0 && rc != AVERROR(EAGAIN)) ++s.badPackets;
    return 0;
}

SourceItem decode_next(Source& s, AVFrame* frame, AVPacket* pkt, std::string& error) {
    for (int drainErrors = 0;;) {
        if (s.ended) return SourceItem::End;
        const int rc = avcodec_receive_frame(s.dec, frame);
        if (rc == 0) return SourceItem::Frame;
        if (rc == AVERROR_EOF) {
            s.ended = true;
            return SourceItem::End;
        }
        if (rc != AVERROR(EAGAIN)) {
            ++s.badPackets;
            // Draining goes on past a frame that fails: the frames behind it
            // in the decoder's threads are still good.
            if (s.draining && ++drainErrors > kMaxDrainErrors) s.ended = true;
        }
        if (s.draining) continue;
        const int fed = feed_decoder(s, pkt, error);
        if (fed < 0) return SourceItem::Error;
        if (fed == 1) return SourceItem::Packet;
    }
}

void stamp(Source& s, AVFrame* f) {
    f->pts = s.countFrames ? s.framesOut : f->best_effort_timestamp;
    ++s.framesOut;
}

// A camera's take:1.mp4 is a file, not the protocol "take"; so is a file
// named file:a.mp4.
std::string url_of(const std::string& path) { return names_a_stream(path) ? path : "file:" + path; }

AVRational stream_rate(const AVStream* st) {
    if (st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0) return st->avg_frame_rate;
    if (st->r_frame_rate.num > 0 && st->r_frame_rate.den > 0) return st->r_frame_rate;
    return {25, 1};
}

}  // namespace

namespace {

std::atomic<int64_t> gReadErrors{0};
std::mutex gFirstErrorLock;
std::string gFirstError;

}  // namespace

void note_read_error(void* avcl, int level, const char* fmt, va_list vl) {
    if (level > AV_LOG_ERROR || avcl == nullptr) return;
    const AVClass* cls = *static_cast<AVClass**>(avcl);
    if (cls == nullptr) return;
    const AVClassCategory cat = cls->get_category != nullptr ? cls->get_category(avcl) : cls->category;
    if (cat != AV_CLASS_CATEGORY_DECODER && cat != AV_CLASS_CATEGORY_DEMUXER) return;
    if (gReadErrors.fetch_add(1) != 0) return;
    char text[256];
    std::vsnprintf(text, sizeof text, fmt, vl);
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
    std::lock_guard<std::mutex> l(gFirstErrorLock);
    gFirstError = line;
}

int64_t read_errors(std::string& first) {
    std::lock_guard<std::mutex> l(gFirstErrorLock);
    first = gFirstError;
    return gReadErrors.load();
}

bool names_a_stream(const std::string& name) {
    for (const char* p : {"pipe:", "http://", "https://"})
        if (name.rfind(p, 0) == 0) return true;
    return false;
}

void forget_read_errors() {
    std::lock_guard<std::mutex> l(gFirstErrorLock);
    gFirstError.clear();
    gReadErrors.store(0);
}

int libav_interrupt(void* opaque) {
    const auto* stop = static_cast<const std::atomic<int>*>(opaque);
    return stop != nullptr && stop->load() != 0;
}

Source::~Source() {
    av_frame_free(&first);
    for (AVPacket*& p : pending) av_packet_free(&p);
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
    s.fmt->interrupt_callback = {libav_interrupt, const_cast<std::atomic<int>*>(s.stop)};
    if (io != nullptr) {
        s.customIo = io;
        s.fmt->pb = io;
        s.fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    int rc = avformat_open_input(&s.fmt, url_of(path).c_str(), nullptr, nullptr);
    if (rc < 0) {
        // avformat_open_input frees the context on failure.
        error = "cannot read " + path + " as a video: " + av_error_text(rc);
        return false;
    }
    rc = avformat_find_stream_info(s.fmt, nullptr);
    if (rc < 0) return (error = "cannot read " + path + " as a video: " + av_error_text(rc), false);
    const AVCodec* codec = nullptr;
    s.video = av_find_best_stream(s.fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    // Cover art (an attached picture) of a song is not a video to denoise.
    if (s.video >= 0 && (s.fmt->streams[s.video]->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0)
        return (error = path + " has no video to denoise: its only picture is cover art", false);
    if (s.video < 0 || codec == nullptr)
        return (error = path + (s.video < 0 ? " has no video stream" : " has a video stream no decoder here reads"), false);
    const AVCodecParameters* par = s.fmt->streams[s.video]->codecpar;
    if (par->width <= 0 || par->height <= 0 || par->format < 0)
        return (error = "cannot read " + path + " as a video: its frame size or pixel format is unknown", false);
    s.rate = stream_rate(s.fmt->streams[s.video]);
    return open_decoder(s, path, codec, threads, error);
}

bool source_peek(Source& s, AVRational rate, std::string& error) {
    AVPacket* pkt = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    bool ok = pkt != nullptr && f != nullptr;
    if (!ok) error = "out of memory";
    while (ok) {
        const SourceItem it = decode_next(s, f, pkt, error);
        if (it == SourceItem::Packet) {
            AVPacket* keep = av_packet_alloc();
            if (keep == nullptr) return (av_packet_free(&pkt), av_frame_free(&f), error = "out of memory", false);
            av_packet_move_ref(keep, pkt);
            s.pending.push_back(keep);
            continue;
        }
        ok = it != SourceItem::Error;
        if (it == SourceItem::Frame) {
            // A capture that begins mid-GOP has packets no decoder can read
            // before its first keyframe; players skip them, and so does orv.
            std::string first;
            s.leadSkipped = s.badPackets > 0 || read_errors(first) > 0;
            s.badPackets = 0;
            forget_read_errors();
            s.countFrames = f->best_effort_timestamp == AV_NOPTS_VALUE;
            if (s.countFrames && rate.num > 0 && rate.den > 0) s.rate = rate;
            stamp(s, f);
            s.first = f;
            f = nullptr;
        }
        break;
    }
    av_packet_free(&pkt);
    av_frame_free(&f);
    return ok;
}

SourceItem source_next(Source& s, AVFrame* frame, AVPacket* pkt, std::string& error) {
    if (!s.pending.empty()) {
        av_packet_move_ref(pkt, s.pending.front());
        av_packet_free(&s.pending.front());
        s.pending.pop_front();
        return SourceItem::Packet;
    }
    if (s.first != nullptr) {
        av_frame_move_ref(frame, s.first);
        av_frame_free(&s.first);
        return SourceItem::Frame;
    }
    const SourceItem it = decode_next(s, frame, pkt, error);
    if (it == SourceItem::Frame) stamp(s, frame);
    return it;
}

AVRational source_time_base(const Source& s) {
    return s.countFrames ? av_inv_q(s.rate) : s.fmt->streams[s.video]->time_base;
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

// The libav kind of input: its state is the Source.

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

std::string depth_note(const VideoShape& shape) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(shape.format);
    if (desc == nullptr || desc->comp[0].depth <= 8) return {};
    const std::string bits = std::to_string(desc->comp[0].depth);
    return "the filter works in 8 bits; the input's " + bits + "-bit frames are filtered at 8 bits and encoded back at " +
           bits + " bits";
}

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

bool libav_open(Input& in, const Options& o, std::vector<std::string>& notes, std::string& error) {
    auto state = std::make_shared<Source>();
    in.state = state;
    Source& s = *state;
    s.stop = in.stop;
    if (!source_open(s, o.input, nullptr, 0, error)) return false;
    AVRational rate{0, 0};
    if (!o.rate.empty() && (av_parse_video_rate(&rate, o.rate.c_str()) < 0 || rate.num <= 0))
        return (error = "--rate takes a frame rate such as 25 or 30000/1001, not '" + o.rate + "'", false);
    if (!source_peek(s, rate, error)) return false;
    in.source = &s;
    in.shape = describe(s);
    if (const std::string n = depth_note(in.shape); !n.empty()) notes.push_back(n);
    if (s.leadSkipped)
        notes.push_back(o.input + " begins inside a group of pictures: the packets before its first decodable frame "
                                  "were skipped, as players do");
    if (const std::string gap = sequence_gap(o.input); !gap.empty()) notes.push_back(gap);
    return true;
}

SourceItem libav_next(Input& in, AVFrame* frame, AVPacket* pkt, std::string& error) {
    return source_next(input_state<Source>(in), frame, pkt, error);
}

std::string libav_damage(const Input& in) {
    const Source& s = input_state<Source>(in);
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
    const Source& s = input_state<Source>(in);
    const AVStream* st = s.fmt->streams[s.video];
    if (st->nb_frames > 0) return st->nb_frames;
    if (s.fmt->duration > 0 && s.rate.num > 0) return av_rescale_q(s.fmt->duration, AV_TIME_BASE_Q, av_inv_q(s.rate));
    return -1;
}

}  // namespace

const InputKind kLibavInput{"libav", libav_open, libav_next, libav_damage, libav_frame_count};

}  // namespace orv::cli
