// What a success promises, read back with libav: orv over input kinds x
// output containers, and for every run that exits 0 a video that decodes
// cleanly with the input's frames, length, audio length, aspect ratio and
// rotation, every stream left out named; a run that fails leaves nothing.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

namespace fs = std::filesystem;

namespace {

struct Ran {
    int code;
    std::string err;
};

Ran sh(const fs::path& dir, const std::string& cmd) {
    const std::string full = "cd '" + dir.string() + "' && { " + cmd + " ; } 2>&1 >/dev/null";
    FILE* p = popen(full.c_str(), "r");
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    const int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

// A file as libav reads it: the main video decoded frame by frame, the
// audio decoded to its samples, what each stream is.
struct Media {
    bool opened = false;
    int videoFrames = 0, decodeErrors = 0;
    double videoSpan = 0;  // first frame's time to the last's, plus one frame
    double audioSeconds = -1;
    int width = 0, height = 0;
    AVRational sar{1, 1};
    int rotation = 0;
    AVCodecID codec = AV_CODEC_ID_NONE;
    bool timecodeTag = false;
    std::map<AVMediaType, int> streams;  // besides the main video
    std::vector<AVMediaType> types;      // by stream index
    int mainVideo = -1;
};

constexpr double kFrame = 1.0 / 25;  // every input is made at 25 fps

AVRational norm(AVRational q) { return q.num <= 0 || q.den <= 0 ? AVRational{1, 1} : av_mul_q(q, {1, 1}); }

// Decodes every frame of stream `s`; the count of frames and of errors, the
// first and last times and the samples of audio.
void decode(const fs::path& file, int s, Media& m) {
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, file.c_str(), nullptr, nullptr) < 0 || avformat_find_stream_info(fmt, nullptr) < 0) {
        ++m.decodeErrors;
        avformat_close_input(&fmt);
        return;
    }
    AVStream* st = fmt->streams[s];
    const AVCodec* c = avcodec_find_decoder(st->codecpar->codec_id);
    AVCodecContext* dec = c != nullptr ? avcodec_alloc_context3(c) : nullptr;
    if (dec == nullptr || avcodec_parameters_to_context(dec, st->codecpar) < 0 || avcodec_open2(dec, c, nullptr) < 0) {
        ++m.decodeErrors;
        avcodec_free_context(&dec);
        avformat_close_input(&fmt);
        return;
    }
    const bool video = st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* f = av_frame_alloc();
    int64_t first = AV_NOPTS_VALUE, last = AV_NOPTS_VALUE, samples = 0;
    const auto drain = [&] {
        int rc;
        while ((rc = avcodec_receive_frame(dec, f)) >= 0) {
            const int64_t t = f->best_effort_timestamp;
            if (t != AV_NOPTS_VALUE && (first == AV_NOPTS_VALUE || t < first)) first = t;
            if (t != AV_NOPTS_VALUE && (last == AV_NOPTS_VALUE || t > last)) last = t;
            if (video) ++m.videoFrames;
            samples += f->nb_samples;
            av_frame_unref(f);
        }
        if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF) ++m.decodeErrors;
    };
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == s) {
            if (avcodec_send_packet(dec, pkt) < 0) ++m.decodeErrors;
            drain();
        }
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    drain();
    if (video && first != AV_NOPTS_VALUE) m.videoSpan = (last - first) * av_q2d(st->time_base) + kFrame;
    // A raw stream has no times: its frames at its rate.
    if (video && m.videoFrames > 1 && (first == AV_NOPTS_VALUE || first == last)) m.videoSpan = m.videoFrames / av_q2d(st->r_frame_rate);
    if (!video) m.audioSeconds = static_cast<double>(samples) / dec->sample_rate;
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
}

Media read_back(const fs::path& file) {
    Media m;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, file.c_str(), nullptr, nullptr) < 0) return m;
    if (avformat_find_stream_info(fmt, nullptr) < 0) {
        avformat_close_input(&fmt);
        return m;
    }
    m.opened = true;
    m.mainVideo = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        m.types.push_back(fmt->streams[i]->codecpar->codec_type);
        if (static_cast<int>(i) != m.mainVideo) ++m.streams[fmt->streams[i]->codecpar->codec_type];
    }
    if (m.mainVideo >= 0) {
        AVStream* v = fmt->streams[m.mainVideo];
        m.codec = v->codecpar->codec_id;
        m.width = v->codecpar->width;
        m.height = v->codecpar->height;
        m.sar = norm(v->sample_aspect_ratio.num > 0 ? v->sample_aspect_ratio : v->codecpar->sample_aspect_ratio);
        if (const auto* dm = reinterpret_cast<const int32_t*>(av_stream_get_side_data(v, AV_PKT_DATA_DISPLAYMATRIX, nullptr)))
            m.rotation = static_cast<int>(std::lround(-av_display_rotation_get(dm) + 360)) % 360;
        m.timecodeTag = av_dict_get(v->metadata, "timecode", nullptr, 0) != nullptr;
        decode(file, m.mainVideo, m);
    }
    const int audio = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (audio >= 0) decode(file, audio, m);
    avformat_close_input(&fmt);
    return m;
}

const std::string kMake = "ffmpeg -v error -y ";
const std::string kPic = "-f lavfi -i testsrc2=size=64x48:rate=25,hue=s=0.4 ";
const std::string kSound = "-f lavfi -i sine=r=48000 ";
// Variable rate: 0.2 s missing from the middle of a second.
const std::string kGap = "-vf \"select='not(between(t,0.4,0.6))'\" -fps_mode vfr ";

struct Kind {
    const char* name;  // the input's file
    std::string make;
    bool steady = true;  // frames on every tick: the count is compared too
};

// The inputs, each made once.
const Kind kKinds[] = {
    {"prores4444.mov", kMake + kPic + kSound + "-t 0.16 -c:v prores_ks -profile:v 4444 -pix_fmt yuva444p10 -c:a pcm_s16le prores4444.mov"},
    {"vfr.mkv",
     "printf '1\\n00:00:00,000 --> 00:00:00,500\\nhi\\n' >s.srt && " + kMake + kPic + kSound +
         "-i s.srt -t 1 " + kGap + "-c:v ffv1 -c:a pcm_s16le -c:s srt vfr.mkv && rm s.srt",
     false},
    {"rgb.mov", kMake + kPic + "-frames:v 3 -c:v png -pix_fmt rgb24 rgb.mov"},
    {"pal8.png", kMake + "-f lavfi -i testsrc2=size=64x48 -frames:v 1 -pix_fmt pal8 pal8.png"},
    {"alpha.gif", kMake + "-f lavfi -i \"testsrc2=size=64x48:rate=25,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='X*4'\" -frames:v 3 alpha.gif"},
    {"hevc10.mp4",
     kMake + "-f lavfi -i testsrc2=size=96x64:rate=25,setsar=4/3 -frames:v 3 -c:v libx265 -x265-params log-level=error "
             "-pix_fmt yuv420p10le r.mp4 && " + kMake + "-i r.mp4 -c copy -metadata:s:v rotate=90 hevc10.mp4 && rm r.mp4"},
    {"two.mkv", kMake + kPic + kPic + "-f lavfi -i sine -map 0 -map 1 -map 2 -t 0.12 -c:v libx264 -c:a libopus two.mkv"},
    {"dnxhd.mov", kMake + "-f lavfi -i testsrc2=size=1280x720:rate=25 -frames:v 2 -c:v dnxhd -b:v 90M -pix_fmt yuv422p dnxhd.mov"},
    {"tc.mov", kMake + "-f lavfi -i testsrc2=size=256x144:rate=25 -frames:v 2 -timecode 01:00:00:00 -c:v dnxhd "
                       "-profile:v dnxhr_lb -pix_fmt yuv422p tc.mov"},
    {"mp2.mkv", kMake + kPic + kSound + "-t 0.16 -c:v mpeg2video -c:a mp2 mp2.mkv"},
    {"dv.dv", kMake + "-f lavfi -i testsrc2=size=720x576:rate=25 -frames:v 2 -c:v dvvideo -pix_fmt yuv420p dv.dv"},
};

class CliReadBack : public ::testing::Test {
protected:
    static inline fs::path dir;
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/orv-readback-XXXXXX";
        dir = mkdtemp(tmpl);
        // x265 leaks a little of its own at 10 bits: the library's leak,
        // which the sanitizer run would otherwise lay at orv's door.
        std::FILE* supp = std::fopen((dir / "lsan.supp").c_str(), "w");
        std::fputs("leak:libx265.so\n", supp);
        std::fclose(supp);
        const char* lsan = std::getenv("LSAN_OPTIONS");
        const std::string opts = (lsan != nullptr ? std::string(lsan) + ":" : "") + "suppressions=" + (dir / "lsan.supp").string();
        setenv("LSAN_OPTIONS", opts.c_str(), 1);
        for (const Kind& k : kKinds) ASSERT_EQ(sh(dir, k.make).code, 0) << k.make;
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }
};

const Kind& kind(const std::string& name) {
    for (const Kind& k : kKinds)
        if (name == k.name) return k;
    throw std::logic_error("no input " + name);
}

// Nothing of a failed run: neither the output nor a hidden file.
std::string leftovers(const fs::path& dir, const std::string& out) {
    std::string found;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if (n == out || n.rfind(".orv-", 0) == 0) found += n + " ";
    }
    return found;
}

// The property behind a success, for `out` made from `in`.
void expect_as_the_input(const Kind& in, const Media& a, const Media& b, const std::string& err) {
    ASSERT_TRUE(b.opened);
    ASSERT_GE(b.mainVideo, 0) << "no video";
    EXPECT_EQ(b.types[b.mainVideo], AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(b.decodeErrors, 0);
    if (in.steady) {
        EXPECT_NEAR(b.videoFrames, a.videoFrames, 1);
    }
    EXPECT_NEAR(b.videoSpan, a.videoSpan, kFrame + 1e-3);
    if (a.audioSeconds >= 0 && b.audioSeconds >= 0) {
        EXPECT_NEAR(b.audioSeconds, a.audioSeconds, kFrame);
    }
    // Rotation stays, or the frames were turned and a line says so.
    const bool turned = err.find("turned") != std::string::npos;
    EXPECT_EQ(b.rotation, turned ? 0 : a.rotation);
    const bool across = turned && (a.rotation == 90 || a.rotation == 270);
    // MPEG-1 codes one of 14 ratios: the nearest.
    const AVRational sar = across ? AVRational{a.sar.den, a.sar.num} : a.sar;
    EXPECT_NEAR(av_q2d(b.sar) / av_q2d(sar), 1.0, b.codec == AV_CODEC_ID_MPEG1VIDEO ? 0.03 : 1e-9)
        << b.sar.num << ":" << b.sar.den << " for " << a.sar.num << ":" << a.sar.den;
    EXPECT_EQ(across ? b.height : b.width, a.width);
    // Every stream of a kind fewer than the input has is named.
    for (const auto& [type, count] : a.streams) {
        const int missing = count - (b.streams.count(type) != 0 ? b.streams.at(type) : 0);
        int named = 0;
        for (size_t i = 0; i < a.types.size(); ++i)
            if (a.types[i] == type && err.find("stream " + std::to_string(i) + " (") != std::string::npos) ++named;
        EXPECT_GE(named, missing) << av_get_media_type_string(type) << " left out without a line";
    }
    if (err.find("kept as a tag of the video") != std::string::npos) {
        EXPECT_TRUE(b.timecodeTag) << "no timecode tag";
    }
}

TEST_F(CliReadBack, EveryOutputPlaysAsTheInputDid) {
    const struct {
        const char* in;
        std::vector<const char*> outputs;  // extensions
        int code = 0;
        const char* says = "";  // on stderr
        const char* args = "";
        bool keepsAudio = false;
    } rows[] = {
        // Codecs that TS and MPEG-PS would take only as private data.
        {"prores4444.mov", {"ts", "mpg", "y4m", "mov", "mkv", "avi"}},
        {"rgb.mov", {"ts", "mpg", "y4m", "mp4"}},
        {"alpha.gif", {"y4m", "ts", "gif", "webm"}},
        // A palette picture: into a format the conversions give; PBM's bits
        // are a layout the frame pool leaves to libav.
        {"pal8.png", {"png", "gif", "mkv", "pbm"}},
        {"pal8.png", {"nut", "avi"}, 0, "", " --codec rawvideo"},
        {"pal8.png", {"png"}, 2, "doesn't take pixel format pal8", " --pix-fmt pal8"},
        // A gap: filled where the container keeps no times.
        {"vfr.mkv", {"mxf", "y4m", "m2v", "h264", "avi", "mp4", "ts", "nut"}},
        {"hevc10.mp4", {"y4m", "mkv", "mov", "ts"}},
        // Opus in mov, a second H.264 into AVI.
        {"two.mkv", {"mov", "avi", "mp4", "flv"}},
        {"dnxhd.mov", {"mov", "mkv"}},
        // A timecode track into MXF and AVI, and where it stays a tag.
        {"tc.mov", {"mxf", "avi"}},
        {"tc.mov", {"mkv", "nut", "webm"}, 0, "kept as a tag of the video"},
        // MPEG audio stays in the MPEG containers.
        {"mp2.mkv", {"ts", "mpg"}, 0, "", "", true},
        {"dv.dv", {"ts", "mpg", "mp4"}},
        // 3GP's H.263 at a size it can't code: the sizes it can.
        {"rgb.mov", {"3gp"}, 2, "Valid sizes are 128x96"},
        {"rgb.mov", {"y4m"}, 2, "doesn't take pixel format rgb24", " --pix-fmt rgb24"},
    };
    const std::string orv = "'" ORV_EXE "' --module '" ORV_MODULE "' denoise ";
    std::map<std::string, Media> inputs;
    for (const auto& r : rows) {
        const Kind& k = kind(r.in);
        if (inputs.count(r.in) == 0) inputs[r.in] = read_back(dir / r.in);
        for (const char* ext : r.outputs) {
            const std::string out = std::string("o-") + k.name + "." + ext;
            SCOPED_TRACE(std::string(k.name) + " -> " + ext);
            const Ran run = sh(dir, orv + k.name + " " + out + r.args);
            EXPECT_EQ(run.code, r.code) << run.err;
            EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
            if (run.code != 0 || r.code != 0) {
                EXPECT_EQ(leftovers(dir, out), "");
                continue;
            }
            const Media b = read_back(dir / out);
            expect_as_the_input(k, inputs[r.in], b, run.err);
            if (r.keepsAudio) {
                EXPECT_GE(b.audioSeconds, 0) << "no audio";
            }
            fs::remove(dir / out);
        }
    }
}

// A name as long as the folder takes: the hidden file beside it still fits.
TEST_F(CliReadBack, TheLongestNameIsWritten) {
    const std::string out = std::string(251, 'a') + ".mkv";
    const Ran run = sh(dir, "'" ORV_EXE "' --module '" ORV_MODULE "' denoise --quiet rgb.mov " + out);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(read_back(dir / out).videoFrames == 3);
    fs::remove(dir / out);
}

}  // namespace
