// The output's set-up as named steps, in the order they run: the muxer, the
// encoder's choice, the rotation, the video's description, the encoder's
// options, the video stream, the copied streams, the header.
#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/bsf.h>
#include <libavutil/mastering_display_metadata.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "cli/frames/media.h"
#include "cli/output/container_fit.h"
#include "cli/output/output_libav.h"

namespace orv::cli {

namespace {

bool is_rgb(AVPixelFormat f) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(f);
    return d != nullptr && (d->flags & AV_PIX_FMT_FLAG_RGB) != 0;
}

bool open_muxer(Sink& k, const AVOutputFormat* of, const std::string& outputName, const std::string& writePath,
                std::string& error) {
    // A file, whatever its name holds: take:1.mp4 names no protocol; pipe:1 does.
    const std::string url = names_a_stream(writePath) ? writePath : "file:" + writePath;
    if (avformat_alloc_output_context2(&k.fmt, of, nullptr, url.c_str()) < 0)
        return (error = "out of memory", false);
    // The same input and settings give the same bytes: no random segment or
    // track UIDs, no library version strings in the file.
    k.fmt->flags |= AVFMT_FLAG_BITEXACT;
    if (k.stop != nullptr) k.fmt->interrupt_callback = {libav_interrupt, const_cast<std::atomic<int>*>(k.stop)};
    k.singlePicture = is_image_writer(of) && !is_sequence_pattern(outputName);
    return true;
}

const AVCodec* named_encoder(const AVOutputFormat* of, const std::string& name, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (codec == nullptr || codec->type != AVMEDIA_TYPE_VIDEO)
        return (error = "unknown video encoder " + name + " (ffmpeg -encoders lists them)", nullptr);
    // Only a certain no refuses here: the header has the last word.
    if (avformat_query_codec(of, codec->id, FF_COMPLIANCE_UNOFFICIAL) == 0)
        return (error = std::string(of->name) + " can't hold " + codec->name + " video; choose another --codec", nullptr);
    return codec;
}

// The one named, else the input's codec where an encoder exists and the
// container holds it (so lossless stays lossless), else the container's
// default; a picture takes the encoder its extension names.
const AVCodec* choose_encoder(const AVOutputFormat* of, const std::string& outputName, const Source* src,
                              const VideoShape& shape, const EncoderRecord& r, std::string& error) {
    if (!r.codec.empty()) return named_encoder(of, r.codec, error);
    const AVCodec* codec = nullptr;
    const AVCodecParameters* in = src != nullptr ? src->fmt->streams[src->video]->codecpar : nullptr;
    if (in != nullptr && !names_its_codec(of) && container_holds(of, in, shape.steadyRate))
        codec = preferred_encoder(in->codec_id);
    if (codec == nullptr) codec = preferred_encoder(av_guess_codec(of, nullptr, outputName.c_str(), nullptr, AVMEDIA_TYPE_VIDEO));
    if (codec == nullptr) return (error = "no video encoder here writes " + outputName + "; choose one with --codec", nullptr);
    return codec;
}

// Rotation stays metadata where the container keeps it; otherwise the
// frames are turned so that the picture still shows upright.
void plan_rotation(Sink& k, const AVOutputFormat* of, const std::string& outputName, const VideoShape& shape,
                   std::vector<std::string>& notes) {
    if (shape.rotation == 0 || keeps_display_matrix(of)) return;
    if (shape.rotation < 0) {
        notes.push_back("the input's display matrix (a flip or an odd angle) can't be kept in " + outputName +
                        "; the frames are written as stored");
        return;
    }
    k.rotate = shape.rotation;
    notes.push_back("the frames are turned " + std::to_string(k.rotate) + " degrees clockwise, as " + outputName +
                    " can't carry the input's rotation");
}

// Encoders without a list of their own (wrapped_avframe, rawvideo) write
// what the muxer's header takes: Y4M's few planar formats, nearest first.
std::vector<AVPixelFormat> formats_the_muxer_takes(const AVOutputFormat* of, const AVCodec* c, int width, int height) {
    std::vector<AVPixelFormat> list;
    for (const AVPixFmtDescriptor* d = av_pix_fmt_desc_next(nullptr); d != nullptr; d = av_pix_fmt_desc_next(d)) {
        const AVPixelFormat f = av_pix_fmt_desc_get_id(d);
        if ((d->flags & (AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)) == 0 && sws_isSupportedOutput(f) &&
            muxer_takes_pixel_format(of, c, f, width, height))
            list.push_back(f);
    }
    list.push_back(AV_PIX_FMT_NONE);
    return list;
}

// The encoder's formats that the frames can be turned into: palettes (a
// palette picture's own format, PNG's and GIF's first choice) are not.
std::vector<AVPixelFormat> formats_orv_gives(const AVPixelFormat* list) {
    std::vector<AVPixelFormat> given;
    for (const AVPixelFormat* p = list; *p != AV_PIX_FMT_NONE; ++p)
        if (sws_isSupportedOutput(*p)) given.push_back(*p);
    given.push_back(AV_PIX_FMT_NONE);
    return given;
}

AVPixelFormat pick_pixel_format(const AVOutputFormat* of, const AVCodec* c, AVPixelFormat want, int width, int height) {
    std::vector<AVPixelFormat> formats;
    if (c->pix_fmts != nullptr) {
        formats = formats_orv_gives(c->pix_fmts);
    } else {
        if (muxer_takes_pixel_format(of, c, want, width, height) && sws_isSupportedOutput(want)) return want;
        formats = formats_the_muxer_takes(of, c, width, height);
    }
    const AVPixelFormat* list = formats.data();
    for (const AVPixelFormat* p = list; *p != AV_PIX_FMT_NONE; ++p)
        if (*p == want) return want;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(want);
    const int alpha = d != nullptr && (d->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
    return avcodec_find_best_pix_fmt_of_list(list, want, alpha, nullptr);
}

bool choose_pixel_format(AVCodecContext* e, const AVOutputFormat* of, const AVCodec* codec, const VideoShape& shape,
                         const EncoderRecord& r, std::string& error) {
    AVPixelFormat want = shape.format;
    if (!r.pixFmt.empty()) {
        want = av_get_pix_fmt(r.pixFmt.c_str());
        if (want == AV_PIX_FMT_NONE) return (error = "unknown pixel format " + r.pixFmt, false);
        if (pick_pixel_format(of, codec, want, e->width, e->height) != want)
            return (error = std::string(codec->name) + " in " + of->name + " doesn't take pixel format " + r.pixFmt, false);
    }
    e->pix_fmt = pick_pixel_format(of, codec, want, e->width, e->height);
    if (e->pix_fmt == AV_PIX_FMT_NONE) return (error = std::string(codec->name) + " takes no pixel format orv can give it", false);
    return true;
}

void describe_colour(AVCodecContext* e, const VideoShape& shape) {
    e->color_primaries = shape.primaries;
    e->color_trc = shape.trc;
    e->colorspace = shape.space;
    e->color_range = shape.range;
    e->chroma_sample_location = shape.chromaLocation;
    if (is_rgb(e->pix_fmt)) {
        e->colorspace = AVCOL_SPC_RGB;
        e->color_range = AVCOL_RANGE_UNSPECIFIED;
    } else if (is_rgb(shape.format)) {
        // RGB made into YUV: the matrix of its size class, tagged as such.
        e->colorspace = e->height >= 720 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
        e->color_range = AVCOL_RANGE_MPEG;
    }
    // libav's yuvj formats carry full range in their name; JPEG wants it
    // whatever the format is called.
    if (full_range(e->pix_fmt, AVCOL_RANGE_UNSPECIFIED) || (e->codec_id == AV_CODEC_ID_MJPEG && !is_rgb(e->pix_fmt)))
        e->color_range = AVCOL_RANGE_JPEG;
}

bool configure_video(Sink& k, const AVCodec* codec, const AVOutputFormat* of, const VideoShape& shape,
                     const EncoderRecord& r, std::string& error) {
    k.enc = avcodec_alloc_context3(codec);
    if (k.enc == nullptr) return (error = "out of memory", false);
    AVCodecContext* e = k.enc;
    const bool swap = k.rotate == 90 || k.rotate == 270;
    e->width = swap ? shape.height : shape.width;
    e->height = swap ? shape.width : shape.height;
    if (!choose_pixel_format(e, of, codec, shape, r, error)) return false;
    // A container of one rate takes the stream's rate as its time base (a
    // Matroska's millisecond would make a 1000 fps AVI).
    k.oneRate = holds_one_rate(of);
    k.fillGaps = fills_gaps(of);
    e->framerate = k.oneRate ? shape.steadyRate : shape.frameRate;
    e->time_base = encoder_time_base(codec, k.oneRate ? av_inv_q(e->framerate) : shape.timeBase, e->framerate);
    k.frameTimeBase = shape.timeBase;
    e->sample_aspect_ratio = swap ? AVRational{shape.sar.den, shape.sar.num} : shape.sar;
    if (e->sample_aspect_ratio.den == 0 || e->sample_aspect_ratio.num == 0) e->sample_aspect_ratio = {0, 1};
    k.sar = e->sample_aspect_ratio;
    describe_colour(e, shape);
    e->field_order = shape.fieldOrder;
    if (interlaced(shape.fieldOrder)) e->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
    e->thread_count = 0;
    // MPEG-2's slice threads coding fields now and then give other bytes for
    // the same frames (about one run in thirty under load, FFmpeg 5.1): one
    // thread keeps the file the same on every run.
    if (interlaced(shape.fieldOrder) && codec->id == AV_CODEC_ID_MPEG2VIDEO) e->thread_count = 1;
    e->flags |= AV_CODEC_FLAG_BITEXACT;
    if ((of->flags & AVFMT_GLOBALHEADER) != 0) e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return true;
}

bool has_private_option(const AVCodec* c, const char* name) {
    return c->priv_class != nullptr &&
           av_opt_find(const_cast<AVClass**>(&c->priv_class), name, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ) != nullptr;
}

// Near-transparent defaults, by family, where the encoder's own default is
// visibly lossy (libav's is 200 kb/s): crf 18 for the constant-quality
// encoders, quantiser 2 for FFmpeg's MPEG family (MPEG-1/2/4, H.261/H.263,
// MS-MPEG4, WMV1/2, FLV1, RealVideo 1/2, MJPEG), Xvid and Snow, Theora's quality
// 7 of 10, and 1 bit per pixel for any other lossy encoder. Profiles
// (ProRes, DNxHR) and fixed rates (DV) decide their own.
void quality_defaults(const AVCodec* c, AVCodecContext* enc, AVDictionary** opts, const EncoderRecord& r) {
    const std::string n = c->name;
    const AVCodecDescriptor* d = avcodec_descriptor_get(c->id);
    if (n == "libx264" || n == "libx264rgb" || n == "libx265" || n == "libvpx-vp9" || n == "libvpx" ||
        n == "libaom-av1" || n == "libsvtav1") {
        // Lossless asked for: no quality level beside it (libvpx refuses both).
        if (av_dict_get(*opts, "lossless", nullptr, 0) == nullptr) av_dict_set(opts, "crf", "18", AV_DICT_DONT_OVERWRITE);
        if (n == "libvpx-vp9" || n == "libaom-av1") enc->bit_rate = 0;
        // VP8's crf is a floor under a bitrate ceiling, 256 kb/s unless given: none.
        if (n == "libvpx") enc->bit_rate = 1000000000;
    } else if (has_private_option(c, "mpv_flags") || n == "libxvid" || n == "snow") {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = FF_QP2LAMBDA * 2;
    } else if (n == "libtheora") {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = FF_QP2LAMBDA * 7;
    } else if (d != nullptr && (d->props & AV_CODEC_PROP_LOSSY) != 0 && (d->props & AV_CODEC_PROP_LOSSLESS) == 0 &&
               c->id != AV_CODEC_ID_PRORES && c->id != AV_CODEC_ID_DNXHD && c->id != AV_CODEC_ID_DVVIDEO) {
        const double fps = enc->framerate.num > 0 && enc->framerate.den > 0 ? av_q2d(enc->framerate) : 25.0;
        enc->bit_rate = static_cast<int64_t>(static_cast<double>(enc->width) * enc->height * fps);
    }
    // x265 logs itself, past libav: quiet unless the user's parameters say otherwise.
    if (n == "libx265" && !r.verbose) {
        const AVDictionaryEntry* had = av_dict_get(*opts, "x265-params", nullptr, 0);
        const std::string theirs = had != nullptr ? had->value : "";
        if (theirs.find("log-level") == std::string::npos)
            av_dict_set(opts, "x265-params", ((theirs.empty() ? "" : theirs + ":") + "log-level=error").c_str(), 0);
    }
}

// A codec kept is kept with its profile (ProRes Proxy stays Proxy, DNxHR LB
// stays LB), where the encoder takes the profile as a number; DNxHD's
// profile is its bitrate (dnxhd_rate).
void keep_profile(const AVCodec* c, const AVCodecParameters* in, AVDictionary** opts) {
    if (in == nullptr || in->codec_id != c->id || in->profile == FF_PROFILE_UNKNOWN || c->priv_class == nullptr) return;
    const AVOption* o = av_opt_find(const_cast<AVClass**>(&c->priv_class), "profile", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    if (o == nullptr || o->type != AV_OPT_TYPE_INT || in->profile < o->min || in->profile > o->max) return;
    av_dict_set_int(opts, "profile", in->profile, AV_DICT_DONT_OVERWRITE);
}

const AVFrameSideData* first_side_data(const VideoShape& shape, AVFrameSideDataType type) {
    return shape.first != nullptr ? av_frame_get_side_data(shape.first, type) : nullptr;
}

// x265 takes HDR10's mastering display and light levels only as its own
// parameters (FFmpeg 5.1 passes no side data to it).
void x265_hdr_params(const VideoShape& shape, AVDictionary** opts) {
    std::string p;
    if (const AVFrameSideData* sd = first_side_data(shape, AV_FRAME_DATA_MASTERING_DISPLAY_METADATA)) {
        const auto* m = reinterpret_cast<const AVMasteringDisplayMetadata*>(sd->data);
        const auto c = [](AVRational q) { return static_cast<long long>(av_q2d(q) * 50000 + 0.5); };
        const auto l = [](AVRational q) { return static_cast<long long>(av_q2d(q) * 10000 + 0.5); };
        char buf[256];
        std::snprintf(buf, sizeof buf, "master-display=G(%lld,%lld)B(%lld,%lld)R(%lld,%lld)WP(%lld,%lld)L(%lld,%lld)",
                      c(m->display_primaries[1][0]), c(m->display_primaries[1][1]), c(m->display_primaries[2][0]),
                      c(m->display_primaries[2][1]), c(m->display_primaries[0][0]), c(m->display_primaries[0][1]),
                      c(m->white_point[0]), c(m->white_point[1]), l(m->max_luminance), l(m->min_luminance));
        if (m->has_primaries && m->has_luminance) p = buf;
    }
    if (const AVFrameSideData* sd = first_side_data(shape, AV_FRAME_DATA_CONTENT_LIGHT_LEVEL)) {
        const auto* cl = reinterpret_cast<const AVContentLightMetadata*>(sd->data);
        p += (p.empty() ? "" : ":") + std::string("max-cll=") + std::to_string(cl->MaxCLL) + "," + std::to_string(cl->MaxFALL);
    }
    if (p.empty()) return;
    const AVDictionaryEntry* had = av_dict_get(*opts, "x265-params", nullptr, 0);
    if (had != nullptr) p = std::string(had->value) + ":" + p;
    av_dict_set(opts, "x265-params", p.c_str(), 0);
}

// An encoder option the user gave: as they wrote it, and what it sets.
struct UserOption {
    std::string said, key, value;
};

bool user_options(const AVCodec* codec, const EncoderRecord& r, std::vector<UserOption>& out, std::string& error) {
    for (const auto& [key, value] : r.encoderOptions) out.push_back({"--encoder-opt " + key + "=" + value, key, value});
    for (const EncoderSetting& s : encoder_settings()) {
        const std::string& value = r.*s.field;
        if (value.empty()) continue;
        if (!has_private_option(codec, s.avOption)) return (error = std::string(codec->name) + " has no " + s.flag + " setting", false);
        out.push_back({std::string(s.flag) + " " + value, s.avOption, value});
    }
    return true;
}

// x264 and x265 take any crf and clamp it at 51.
double crf_ceiling(const AVCodec* c, double max) {
    const std::string n = c->name;
    return n == "libx264" || n == "libx264rgb" || n == "libx265" ? std::min(max, 51.0) : max;
}

// The names an option takes besides numbers ("best, good or realtime"), from
// the option's own table.
std::string named_values(void* target, const AVOption* o) {
    std::vector<std::string> names;
    if (o->unit != nullptr)
        for (const AVOption* c = nullptr; (c = av_opt_next(target, c)) != nullptr;)
            if (c->type == AV_OPT_TYPE_CONST && c->unit != nullptr && std::strcmp(c->unit, o->unit) == 0)
                names.emplace_back(c->name);
    std::string out;
    for (size_t i = 0; i < names.size(); ++i)
        out += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return out;
}

// A value the option it sets doesn't take is named with what it takes.
bool check_user_option(AVCodecContext* e, const AVCodec* c, const UserOption& u, std::string& error) {
    void* target = nullptr;
    const AVOption* o = av_opt_find2(e, u.key.c_str(), nullptr, 0, AV_OPT_SEARCH_CHILDREN, &target);
    if (o == nullptr) return (error = std::string(c->name) + " has no option " + u.key, false);
    const bool number = o->type == AV_OPT_TYPE_INT || o->type == AV_OPT_TYPE_INT64 || o->type == AV_OPT_TYPE_UINT64 ||
                        o->type == AV_OPT_TYPE_FLOAT || o->type == AV_OPT_TYPE_DOUBLE;
    const bool crf = u.key == "crf";
    const double lo = crf ? std::max(0.0, o->min) : o->min, hi = crf ? crf_ceiling(c, o->max) : o->max;
    char* end = nullptr;
    const double v = std::strtod(u.value.c_str(), &end);
    const bool inRange = !number || end == u.value.c_str() || *end != '\0' || (v >= lo && v <= hi);
    if (av_opt_set(e, u.key.c_str(), u.value.c_str(), AV_OPT_SEARCH_CHILDREN) >= 0 && inRange) return true;
    char range[96];
    std::snprintf(range, sizeof range, "a number from %.15g to %.15g", lo, hi);
    const std::string named = named_values(target, o);
    const std::string numbers = number && hi < 1e15 ? range : "";
    error = u.said + ": " + c->name + "'s " + u.key + " takes " +
            (named.empty() ? (numbers.empty() ? "other values" : numbers)
                           : named + (numbers.empty() ? "" : ", or " + numbers));
    return false;
}

// The user's options, then orv's defaults under them.
AVDictionary* encoder_options(const AVCodec* codec, AVCodecContext* enc, const Source* src, const VideoShape& shape,
                              const EncoderRecord& r, const std::vector<UserOption>& user) {
    AVDictionary* opts = nullptr;
    for (const UserOption& u : user) av_dict_set(&opts, u.key.c_str(), u.value.c_str(), AV_DICT_DONT_OVERWRITE);
    quality_defaults(codec, enc, &opts, r);
    keep_profile(codec, src != nullptr ? src->fmt->streams[src->video]->codecpar : nullptr, &opts);
    if (std::strcmp(codec->name, "libx265") == 0) x265_hdr_params(shape, &opts);
    return opts;
}

// Some libraries (x264 on a bad preset) print to stderr themselves, past
// libav's log: while an encoder opens, before any other thread runs, that
// goes nowhere unless --verbose.
struct QuietStderr {
    int saved = -1;
    explicit QuietStderr(bool verbose) {
        if (verbose) return;
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0) return;
        std::fflush(stderr);
        saved = dup(2);
        dup2(null, 2);
        close(null);
    }
    ~QuietStderr() {
        if (saved < 0) return;
        dup2(saved, 2);
        close(saved);
    }
};

// The encoder opened on a context set up as `e` is, with `user` as the only
// options of the user's: whether it opens.
bool opens_with(const AVCodec* c, const AVCodecContext* e, const Source* src, const VideoShape& shape,
                const EncoderRecord& r, const std::vector<UserOption>& user) {
    AVCodecContext* t = avcodec_alloc_context3(c);
    if (t == nullptr) return false;
    AVCodecParameters* par = avcodec_parameters_alloc();
    bool ok = par != nullptr && avcodec_parameters_from_context(par, e) >= 0 && avcodec_parameters_to_context(t, par) >= 0;
    avcodec_parameters_free(&par);
    t->time_base = e->time_base;
    t->framerate = e->framerate;
    t->flags = e->flags;
    t->global_quality = e->global_quality;
    t->thread_count = 1;
    AVDictionary* opts = encoder_options(c, t, src, shape, r, user);
    const QuietStderr quiet(r.verbose);
    ok = ok && avcodec_open2(t, c, &opts) >= 0;
    av_dict_free(&opts);
    avcodec_free_context(&t);
    return ok;
}

// DNxHD (not HR) codes only its nominal rates for a size, in whole Mb/s;
// a container measures the input's a little off them (91.75 for 90) or not
// at all. The encoder's own answer decides: the rate nearest the measured
// one that it opens with, else the highest.
bool dnxhd_opens_at(const AVCodec* c, const AVCodecContext* e, int64_t mbps) {
    AVCodecContext* t = avcodec_alloc_context3(c);
    AVCodecParameters* par = avcodec_parameters_alloc();
    bool ok = t != nullptr && par != nullptr && avcodec_parameters_from_context(par, e) >= 0 &&
              avcodec_parameters_to_context(t, par) >= 0;
    avcodec_parameters_free(&par);
    if (ok) {
        t->time_base = e->time_base;
        t->flags = e->flags;
        t->thread_count = 1;
        t->bit_rate = mbps * 1000000;
        ok = avcodec_open2(t, c, nullptr) >= 0;
    }
    avcodec_free_context(&t);
    return ok;
}

void dnxhd_rate(AVCodecContext* e, const AVCodec* c, const Source* src) {
    const AVCodecParameters* in = src != nullptr ? src->fmt->streams[src->video]->codecpar : nullptr;
    if (in == nullptr || c->id != AV_CODEC_ID_DNXHD || in->codec_id != c->id || in->profile != FF_PROFILE_DNXHD) return;
    const TrialQuiet quiet;
    const int64_t measured = (in->bit_rate + 500000) / 1000000;
    int64_t found = 0;
    for (int64_t d = 0; measured > 0 && found == 0 && d <= measured / 2; ++d) {
        if (dnxhd_opens_at(c, e, measured - d)) found = measured - d;
        else if (d > 0 && dnxhd_opens_at(c, e, measured + d)) found = measured + d;
    }
    for (int64_t m = 1000; found == 0 && m > 0; --m)
        if (dnxhd_opens_at(c, e, m)) found = m;
    if (found > 0) e->bit_rate = found * 1000000;
}

// The libraries' error lines while an encoder opens: the reason behind its
// bare "Invalid argument" (H.263 names the sizes it codes).
std::atomic<bool> gCatching{false};
std::string gCaught;

// Interlaced input is coded interlaced where the encoder can (MPEG-1, the
// default of .mpg, can't): else as whole frames, with a line.
void fit_interlacing(Sink& k, const AVCodec* codec, const Source* src, const VideoShape& shape, const EncoderRecord& r,
                     std::vector<std::string>& notes) {
    const int flags = AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
    if ((k.enc->flags & flags) == 0 || opens_with(codec, k.enc, src, shape, r, {})) return;
    k.enc->flags &= ~flags;
    if (opens_with(codec, k.enc, src, shape, r, {}))
        notes.push_back(std::string(codec->name) + " codes no interlaced frames: the fields are coded together as whole frames");
    else
        k.enc->flags |= flags;
}

// Every option is checked before the encoder opens; one it refuses to open
// with is found by opening it with each alone.
bool open_encoder(Sink& k, const AVCodec* codec, const Source* src, const VideoShape& shape, const EncoderRecord& r,
                  std::string& error) {
    std::vector<UserOption> user;
    if (!user_options(codec, r, user, error)) return false;
    for (const UserOption& u : user)
        if (!check_user_option(k.enc, codec, u, error)) return false;
    dnxhd_rate(k.enc, codec, src);
    AVDictionary* opts = encoder_options(codec, k.enc, src, shape, r, user);
    gCaught.clear();
    const int rc = [&] {
        const QuietStderr quiet(r.verbose);
        gCatching = true;
        const int opened = avcodec_open2(k.enc, codec, &opts);
        gCatching = false;
        return opened;
    }();
    const std::string why = gCaught;
    const AVDictionaryEntry* left = av_dict_get(opts, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    const std::string leftKey = left != nullptr ? left->key : "";
    av_dict_free(&opts);
    if (rc < 0 && opens_with(codec, k.enc, src, shape, r, {}))
        for (const UserOption& u : user)
            if (!opens_with(codec, k.enc, src, shape, r, {u})) return (error = u.said + ": " + codec->name + " won't open with it", false);
    if (rc < 0)
        return (error = std::string("cannot open the encoder ") + codec->name + ": " + av_error_text(rc) +
                        (why.empty() ? "" : " (" + why + ")"),
                false);
    if (!leftKey.empty()) return (error = std::string(codec->name) + " has no option " + leftKey, false);
    return true;
}

bool copy_side_data(AVStream* to, const AVStream* from, bool withDisplayMatrix) {
    for (int i = 0; i < from->nb_side_data; ++i) {
        const AVPacketSideData& sd = from->side_data[i];
        if (!withDisplayMatrix && sd.type == AV_PKT_DATA_DISPLAYMATRIX) continue;
        uint8_t* d = av_stream_new_side_data(to, sd.type, sd.size);
        if (d == nullptr) return false;
        std::memcpy(d, sd.data, sd.size);
    }
    return true;
}

// HDR10's description found in the first frame goes to the stream too, for
// the containers that carry it (Matroska, mp4).
bool add_hdr_side_data(AVStream* st, const VideoShape& shape) {
    const struct {
        AVFrameSideDataType frame;
        AVPacketSideDataType stream;
    } kinds[] = {{AV_FRAME_DATA_MASTERING_DISPLAY_METADATA, AV_PKT_DATA_MASTERING_DISPLAY_METADATA},
                 {AV_FRAME_DATA_CONTENT_LIGHT_LEVEL, AV_PKT_DATA_CONTENT_LIGHT_LEVEL}};
    for (const auto& kind : kinds) {
        const AVFrameSideData* sd = first_side_data(shape, kind.frame);
        if (sd == nullptr || av_stream_get_side_data(st, kind.stream, nullptr) != nullptr) continue;
        uint8_t* d = av_stream_new_side_data(st, kind.stream, sd->size);
        if (d == nullptr) return false;
        std::memcpy(d, sd->data, sd->size);
    }
    return true;
}

bool add_video_stream(Sink& k, const Source* src, const VideoShape& shape, std::string& error) {
    k.video = avformat_new_stream(k.fmt, nullptr);
    if (k.video == nullptr || avcodec_parameters_from_context(k.video->codecpar, k.enc) < 0)
        return (error = "out of memory", false);
    k.video->time_base = k.enc->time_base;
    k.video->avg_frame_rate = k.enc->framerate;
    // An encoder whose bitstream can't hold the ratio (MPEG-4 Part 2 takes
    // 8-bit terms: 741:740 becomes 1:1) has it rounded there; the container
    // carries it exact, as players read it from there.
    k.video->sample_aspect_ratio = k.sar;
    k.video->codecpar->sample_aspect_ratio = k.sar;
    if (src != nullptr) {
        const AVStream* ist = src->fmt->streams[src->video];
        av_dict_copy(&k.video->metadata, ist->metadata, 0);
        av_dict_set(&k.video->metadata, "encoder", nullptr, 0);  // it named the input's encoder
        k.video->disposition = ist->disposition;
        if (!copy_side_data(k.video, ist, k.rotate == 0 && shape.rotation != 0)) return (error = "out of memory", false);
    }
    if (!add_hdr_side_data(k.video, shape)) return (error = "out of memory", false);
    return true;
}

bool copy_chapters(AVFormatContext* out, const AVFormatContext* in) {
    if (in->nb_chapters == 0) return true;
    out->chapters = static_cast<AVChapter**>(av_calloc(in->nb_chapters, sizeof(AVChapter*)));
    if (out->chapters == nullptr) return false;
    for (unsigned i = 0; i < in->nb_chapters; ++i) {
        auto* c = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (c == nullptr) return false;
        const AVChapter* from = in->chapters[i];
        c->id = from->id;
        c->time_base = from->time_base;
        c->start = from->start;
        c->end = from->end;
        av_dict_copy(&c->metadata, from->metadata, 0);
        out->chapters[out->nb_chapters++] = c;
    }
    return true;
}

bool copy_stream(Sink& k, const AVStream* s, unsigned index) {
    AVStream* os = avformat_new_stream(k.fmt, nullptr);
    if (os == nullptr || avcodec_parameters_copy(os->codecpar, s->codecpar) < 0) return false;
    os->codecpar->codec_tag = kept_codec_tag(k.fmt->oformat, s->codecpar);
    if (const char* name = annexb_filter(k.fmt->oformat, s->codecpar)) {
        AVBSFContext*& f = k.annexB[index];
        if (av_bsf_alloc(av_bsf_get_by_name(name), &f) < 0 || avcodec_parameters_copy(f->par_in, s->codecpar) < 0)
            return false;
        f->time_base_in = s->time_base;
        if (av_bsf_init(f) < 0 || avcodec_parameters_copy(os->codecpar, f->par_out) < 0) return false;
        os->codecpar->codec_tag = 0;
    }
    os->time_base = s->time_base;
    os->disposition = s->disposition;
    av_dict_copy(&os->metadata, s->metadata, 0);
    if (!copy_side_data(os, s, true)) return false;
    k.streamMap[index] = os->index;
    return true;
}

// What became of a stream the container can't hold. A timecode track's
// value rides on the video stream's tags, from which the mov family's muxer
// writes a timecode track of its own.
std::string left_out_line(const AVStream* s, unsigned index, const AVOutputFormat* of, const AVStream* video,
                          const std::string& outputName) {
    const std::string stream = "stream " + std::to_string(index);
    const AVDictionaryEntry* tc = av_dict_get(video->metadata, "timecode", nullptr, 0);
    if (s->codecpar->codec_tag == MKTAG('t', 'm', 'c', 'd') && tc != nullptr) {
        if (keeps_display_matrix(of))
            return stream + " (timecode " + tc->value + ") is written anew as " + outputName + "'s timecode track";
        return stream + " (timecode track) is left out: " + outputName + " can't hold it" +
               (writes_any_tag(of) ? std::string("; its timecode ") + tc->value + " is kept as a tag of the video" : "");
    }
    return stream + " (" + av_get_media_type_string(s->codecpar->codec_type) + ", " +
           avcodec_get_name(s->codecpar->codec_id) + ") is left out: " + outputName + " can't hold it";
}

// Every other stream, as it is, where the container holds it; one line for
// each left out.
bool add_copied_streams(Sink& k, const AVOutputFormat* of, const Source& src, const std::string& outputName,
                        std::vector<std::string>& notes, std::string& error) {
    const AVFormatContext* ic = src.fmt;
    av_dict_copy(&k.fmt->metadata, ic->metadata, 0);
    if (!copy_chapters(k.fmt, ic)) return (error = "out of memory", false);
    k.streamMap.assign(ic->nb_streams, -1);
    k.annexB.assign(ic->nb_streams, nullptr);
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        const AVStream* s = ic->streams[i];
        if (static_cast<int>(i) == src.video) continue;
        if (container_holds_copy(of, s->codecpar, k.video)) {
            if (!copy_stream(k, s, i)) return (error = "out of memory", false);
            continue;
        }
        notes.push_back(left_out_line(s, i, of, ic->streams[src.video], outputName));
    }
    return true;
}

// The muxer's url is already the hidden file (open_muxer).
bool write_header(Sink& k, const AVOutputFormat* of, const std::string& outputName, std::string& error) {
    if (k.singlePicture) av_opt_set_int(k.fmt->priv_data, "update", 1, 0);
    if ((of->flags & AVFMT_NOFILE) == 0) {
        const int rc = avio_open2(&k.fmt->pb, k.fmt->url, AVIO_FLAG_WRITE, &k.fmt->interrupt_callback, nullptr);
        if (rc < 0) return (error = "cannot write " + outputName + ": " + av_error_text(rc), false);
    }
    const int rc = avformat_write_header(k.fmt, nullptr);
    if (rc < 0) error = "cannot write " + outputName + ": " + av_error_text(rc);
    // mp4 and mov go back to their header at the end, which a pipe can't.
    if (rc < 0 && names_a_stream(outputName))
        error += " (" + std::string(of->name) + " may need to seek; matroska, mpegts and nut write to a pipe)";
    if (rc < 0) return false;
    return true;
}

}  // namespace

bool output_setup_takes_line(void* avcl, int level, const char* fmt, va_list vl) {
    if (trial_running()) return true;
    if (!gCatching || level > AV_LOG_ERROR || avcl == nullptr) return false;
    const AVClass* cls = *static_cast<AVClass**>(avcl);
    if (cls == nullptr || cls->category != AV_CLASS_CATEGORY_ENCODER) return false;
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, vl);
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!line.empty()) gCaught += (gCaught.empty() ? "" : " ") + line;
    return false;
}

bool interlaced(AVFieldOrder f) { return f == AV_FIELD_TT || f == AV_FIELD_BB || f == AV_FIELD_TB || f == AV_FIELD_BT; }

bool encoder_values_fit(const EncoderRecord& r, std::string& error) {
    const AVCodec* codec = r.codec.empty() ? nullptr : avcodec_find_encoder_by_name(r.codec.c_str());
    if (codec == nullptr || codec->type != AVMEDIA_TYPE_VIDEO) return true;  // the output's set-up names it
    AVCodecContext* e = avcodec_alloc_context3(codec);
    if (e == nullptr) return (error = "out of memory", false);
    std::vector<UserOption> user;
    bool ok = user_options(codec, r, user, error);
    for (size_t i = 0; ok && i < user.size(); ++i) ok = check_user_option(e, codec, user[i], error);
    avcodec_free_context(&e);
    return ok;
}

const AVOutputFormat* output_format(const std::string& outputName, const std::string& format) {
    if (!format.empty()) return av_guess_format(format.c_str(), nullptr, nullptr);
    return av_guess_format(nullptr, outputName.c_str(), nullptr);
}

bool output_format_known(const std::string& outputName, const std::string& format, std::string& error) {
    if (output_format(outputName, format) != nullptr) return true;
    error = !format.empty() ? "unknown --format " + format + " (ffmpeg -muxers lists them)"
                            : "don't know which format to write for " + outputName +
                                  " (use an extension such as .mkv or .mp4, or --format)";
    return false;
}

bool sink_open(Sink& k, const std::string& outputName, const std::string& writePath, const Source* src,
               const VideoShape& shape, const EncoderRecord& record, std::vector<std::string>& notes,
               std::string& error) {
    const AVOutputFormat* of = output_format(outputName, record.format);
    if (of == nullptr) return output_format_known(outputName, record.format, error);
    if (!open_muxer(k, of, outputName, writePath, error)) return false;
    const AVCodec* codec = choose_encoder(of, outputName, src, shape, record, error);
    if (codec == nullptr) return false;
    if (record.verbose) notes.push_back(std::string("the video is encoded with ") + codec->name);
    plan_rotation(k, of, outputName, shape, notes);
    if (!configure_video(k, codec, of, shape, record, error)) return false;
    fit_interlacing(k, codec, src, shape, record, notes);
    if (!open_encoder(k, codec, src, shape, record, error) ||
        !add_video_stream(k, src, shape, error))
        return false;
    if (src != nullptr && !add_copied_streams(k, of, *src, outputName, notes, error)) return false;
    return write_header(k, of, outputName, error);
}

}  // namespace orv::cli
