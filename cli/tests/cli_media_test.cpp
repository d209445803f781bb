// orv on small clips that the tests make with the ffmpeg program, one row per
// behaviour a user counts on: what is kept, what fails, and how it stops.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct Out {
    int code;
    std::string text;  // stdout, then stderr when asked for
};

// Runs a shell command in dir; its stdout (and stderr with `withErr`).
Out sh(const fs::path& dir, const std::string& cmd, bool withErr = false) {
    const std::string full = "cd '" + dir.string() + "' && { " + cmd + " ; }" + (withErr ? " 2>&1" : " 2>/dev/null");
    FILE* p = popen(full.c_str(), "r");
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    const int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

const std::string kOrv = "'" ORV_EXE "' --module '" ORV_MODULE "'";
// Tiny test pictures: lavfi sources, desaturated so that every colour survives RGB.
const std::string kPic = "-f lavfi -i testsrc2=size=64x48:rate=25,hue=s=0.4 ";
const std::string kMake = "ffmpeg -v error -y ";
// Anamorphic frames whose display width Matroska stores exactly.
const std::string kSar = "-f lavfi -i testsrc2=size=90x48,setsar=64/45 -frames:v 2 ";
// DNxHR LB, the smallest frames its profiles take.
const std::string kDnxhr = "-f lavfi -i testsrc2=size=256x144 -frames:v 2 -c:v dnxhd -profile:v dnxhr_lb -pix_fmt yuv422p ";
// A phone's clip: r.mp4 shown turned a quarter to the left.
const std::string kRotate = kMake + "-i r.mp4 -c copy -metadata:s:v rotate=90 in.mp4 && rm r.mp4";

double psnr_y(const fs::path& dir, const std::string& a, const std::string& b) {
    const Out o = sh(dir, "ffmpeg -hide_banner -i " + a + " -i " + b + " -lavfi psnr -f null - 2>&1 | grep -o 'y:[0-9.inf]*'");
    return o.text.size() > 2 ? std::atof(o.text.c_str() + 2) : 0.0;
}
// Both decoded to RGB by their own tags.
double psnr_rgb(const fs::path& dir, const std::string& a, const std::string& b) {
    const Out o = sh(dir, "ffmpeg -hide_banner -i " + a + " -i " + b +
                              " -lavfi '[0]format=bgr0[a];[1]format=bgr0[b];[a][b]psnr' -f null - 2>&1 | "
                              "grep -o 'average:[0-9.inf]*'");
    return o.text.size() > 8 ? std::atof(o.text.c_str() + 8) : 0.0;
}
std::string probe(const fs::path& dir, const std::string& file, const std::string& what) {
    return sh(dir, "ffprobe -v error " + what + " -of csv=p=0 " + file).text;
}
// Re-encoding a clean clip (made by kClean, denoising off) stays within 1.5
// dB of x264 at crf 18. At 100 fps a default of 200 kb/s shows at 320x240.
const std::string kClean = kMake + "-f lavfi -i mandelbrot=size=320x240:rate=100,hue=s=0.4 -frames:v 10 -c:v ffv1 in.mkv";
void near_x264(const fs::path& dir, const std::string& out) {
    ASSERT_EQ(sh(dir, kOrv + " denoise in.mkv ref.mkv --quiet --disable --codec libx264").code, 0);
    EXPECT_GE(psnr_y(dir, out, "in.mkv"), psnr_y(dir, "ref.mkv", "in.mkv") - 1.5) << out;
}
// The decoded pixels of a file, as one digest.
std::string pixels(const fs::path& dir, const std::string& file) {
    return sh(dir, "ffmpeg -v error -i " + file + " -f rawvideo -pix_fmt bgr0 - | md5sum").text;
}
// Every packet of the copied streams and every video time in `out` are where
// ffmpeg's own copy of `in` into the same container puts them.
void expect_times_of_a_copy(const fs::path& dir, const std::string& in, const std::string& out) {
    const std::string ref = "in.ref" + out.substr(out.rfind('.'));
    ASSERT_EQ(sh(dir, "ffmpeg -v error -copyts -i " + in + " -map 0 -c copy " + ref).code, 0);
    const auto packets = [&](const std::string& f, const char* streams, const char* what) {
        return sh(dir, std::string("ffprobe -v error -select_streams ") + streams + " -show_entries packet=" + what +
                           " -of csv=p=0 " + f + " | sort -n").text;
    };
    EXPECT_EQ(packets(out, "v", "pts_time"), packets(ref, "v", "pts_time"));
    EXPECT_EQ(packets(out, "a", "pts_time,size"), packets(ref, "a", "pts_time,size"));
    EXPECT_NE(packets(out, "a", "pts_time,size"), "");
}

// Only the files named remain in dir: no hidden temporary file, no partial output.
std::string listing(const fs::path& dir) {
    return sh(dir, "ls -A | grep -v '^in\\.' | grep -v '^in[0-9]' | sort | tr '\\n' ' '").text;
}

class CliMedia : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/orv-media-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(CliMedia, WhatIsKept) {
    const struct {
        const char* name;
        std::string make;  // makes in.* in dir
        std::string args;  // orv denoise ...
        std::function<void(const fs::path&, const std::string& err)> check;
        int code = 0;
    } rows[] = {
        {"other streams, attachments, metadata, chapters and start time are copied",
         "printf ';FFMETADATA1\\ntitle=Clip\\n[CHAPTER]\\nTIMEBASE=1/1000\\nSTART=0\\nEND=100\\ntitle=One\\n' >meta.txt && "
         "printf '1\\n00:00:00,000 --> 00:00:00,100\\nhi\\n' >s.srt && " +
             kMake + kPic + "-f lavfi -i sine -i s.srt -i meta.txt -map 0:v -map 1:a -map 2 -map_metadata 3 "
                            "-map_chapters 3 -t 0.2 -c:v ffv1 -c:a flac -c:s srt -output_ts_offset 1.5 -attach s.srt "
                            "-metadata:s:t mimetype=text/plain in.mkv && rm meta.txt s.srt",
         "in.mkv out.mkv",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=codec_type"), "video\naudio\nsubtitle\nattachment\n");
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries format_tags=title"), "Clip\n");
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries chapter_tags=title"), "One\n");
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries format=start_time"), probe(d, "in.mkv", "-show_entries format=start_time"));
             const std::string pkts = "-show_entries packet=stream_index,pts,size";
             const std::string audioIn = sh(d, "ffprobe -v error -select_streams a " + pkts + " -of csv in.mkv").text;
             EXPECT_EQ(sh(d, "ffprobe -v error -select_streams a " + pkts + " -of csv out.mkv").text, audioIn);
         }},
        {"every frame keeps its time, variable rate too",
         kMake + kPic + "-t 1 -vf \"select='not(eq(mod(n,3),1))'\" -fps_mode vfr -c:v ffv1 in.mkv", "in.mkv out.mkv",
         [](const fs::path& d, const std::string&) {
             const std::string pts = "-select_streams v -show_entries packet=pts";
             EXPECT_EQ(probe(d, "out.mkv", pts), probe(d, "in.mkv", pts));
         }},
        {"--disable hands a lossless codec the decoded frames untouched, with tags and format",
         kMake + kPic + "-frames:v 3 -vf noise=alls=30:allf=t -c:v ffv1 -pix_fmt yuv420p -colorspace bt709 "
                        "-color_primaries bt709 -color_trc bt709 -color_range tv in.mkv",
         "in.mkv out.mkv --disable",
         [](const fs::path& d, const std::string&) {
             const std::string tags = "-show_entries stream=pix_fmt,color_space,color_primaries,color_transfer,color_range";
             EXPECT_EQ(probe(d, "out.mkv", tags), probe(d, "in.mkv", tags));
             const auto planes = [&](const char* f) { return sh(d, std::string("ffmpeg -v error -i ") + f + " -f rawvideo - | md5sum").text; };
             EXPECT_EQ(planes("out.mkv"), planes("in.mkv"));
         }},
        {"--disable into MJPEG, which reads its YUV as full range: the frames are converted, not relabelled",
         kMake + kPic + "-frames:v 2 -c:v ffv1 -pix_fmt yuv420p -color_range tv in.mkv", "in.mkv out.avi --disable --codec mjpeg",
         [](const fs::path& d, const std::string&) { EXPECT_GE(psnr_y(d, "out.avi", "in.mkv"), 40.0); }},
        {"a capture that begins mid-GOP: the frames from its first keyframe, a line, no damage",
         kMake + "-f lavfi -i testsrc2=size=64x48,noise=alls=20:allf=t -frames:v 40 -c:v libx264 -g 20 -bf 0 d.ts && "
                 "tail -c +$((188 * 30 + 1)) d.ts >in.ts && rm d.ts",
         "in.ts out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "20\n");
             EXPECT_NE(err.find("in.ts begins inside a group of pictures"), std::string::npos) << err;
         }},
        {"pipe: in, pipe:1 out with --format", kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv",
         "pipe: pipe:1 --format matroska <in.mkv >out.mkv",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=codec_name,nb_read_frames"), "ffv1,3\n");
         }},
        // A server of the test's own on the loopback, gone within 30 s whatever happens.
        {"http:// in",
         kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv && " +
             R"sh(P=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])') && )sh"
             R"sh(echo $P >in.port && { timeout 30 python3 -m http.server $P --bind 127.0.0.1 >/dev/null 2>&1 </dev/null & echo $! >in.pid; } && )sh"
             R"sh(for i in $(seq 100); do python3 -c "import socket; socket.create_connection(('127.0.0.1', $P))" 2>/dev/null && break; sleep 0.1; done)sh",
         "http://127.0.0.1:$(cat in.port)/in.mkv out.mkv",
         [](const fs::path& d, const std::string&) {
             sh(d, "kill $(cat in.pid)");
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "3\n");
         }},
        {"a sequence with a gap: the pictures before it, and a line naming those past it",
         kMake + kPic + "-frames:v 5 in%02d.png && rm in03.png", "in%02d.png out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "2\n");
             EXPECT_NE(err.find("in%02d.png ends at in02.png, the last before a gap in its numbers: in04.png and in05.png are not read"),
                       std::string::npos) << err;
         }},
        {"the hidden file of a killed run writing the same output is removed, with a line; another output's stays",
         kMake + kPic + "-frames:v 2 -c:v ffv1 in.mkv && P=$(sh -c 'echo $$') && touch .orv-$P-out.mkv .orv-$P-other.mkv",
         "in.mkv out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_NE(err.find("-out.mkv, left by an orv run that was killed while writing out.mkv"), std::string::npos) << err;
             EXPECT_EQ(sh(d, "ls -A | grep -c '^[.]orv-'; rm .orv-*-other.mkv").text, "1\n");
         }},
        {"x265 stays quiet with the user's own x265-params", kMake + kPic + "-frames:v 2 -c:v ffv1 in.mkv",
         "in.mkv out.mkv --codec libx265 --encoder-opt x265-params=keyint=5",
         [](const fs::path&, const std::string& err) { EXPECT_EQ(err.find("x265 ["), std::string::npos) << err; }},
        {"more than 8 bits: one line, encoded back at the input's depth",
         kMake + kPic + "-frames:v 2 -c:v ffv1 -pix_fmt yuv422p10le in.mkv", "in.mkv out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=pix_fmt"), "yuv422p10le\n");
             EXPECT_NE(err.find("works in 8 bits"), std::string::npos) << err;
         }},
        {"rotation stays metadata in mp4",
         kMake + kPic + "-frames:v 2 -c:v libx264 -pix_fmt yuv420p r.mp4 && " + kRotate, "in.mp4 out.mp4",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(probe(d, "out.mp4", "-show_entries stream=width,height:stream_side_data=rotation").rfind("64,48,90\n", 0), 0u);
         }},
        {"rotation is applied where Matroska can't hold it, as a player shows it",
         kMake + kPic + "-frames:v 2 -c:v libx264 -qp 0 -pix_fmt yuv444p r.mp4 && " + kRotate,
         "in.mp4 out.mkv --disable --codec ffv1",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=width,height"), "48,64\n");
             EXPECT_GE(psnr_y(d, "out.mkv", "in.mp4"), 45.0);  // ffmpeg turns the input on reading
             EXPECT_NE(err.find("turned"), std::string::npos) << err;
         }},
        {"picture sequences in, single pictures out",
         kMake + kPic + "-frames:v 3 in%02d.png", "in%02d.png out.png",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.png", "-show_entries stream=codec_name,width"), "png,64\n");
             EXPECT_NE(err.find("holds one picture"), std::string::npos) << err;
         }},
        {"alpha is carried untouched",
         kMake + "-f lavfi -i \"testsrc2=size=64x48,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='X*4'\" "
                 "-frames:v 1 in.png",
         "in.png out.png",
         [](const fs::path& d, const std::string&) {
             const std::string alpha = " -vf alphaextract -f rawvideo -pix_fmt gray - | md5sum";
             EXPECT_EQ(sh(d, "ffmpeg -v error -i out.png" + alpha).text, sh(d, "ffmpeg -v error -i in.png" + alpha).text);
         }},
        {"MPEG-2 in TS, interlaced: coded interlaced with its field order, filtered by field",
         kMake + kPic + "-frames:v 4 -vf setfield=tff -c:v mpeg2video -flags +ildct+ilme -top 1 in.ts", "in.ts out.ts",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.ts", "-show_entries stream=codec_name,field_order").rfind("mpeg2video,tt", 0), 0u);
             EXPECT_NE(err.find("fields are filtered apart"), std::string::npos) << err;
         }},
        {"x264 at crf 18 unless told, and --crf 0 is its lossless mode", kMake + kPic + "-frames:v 2 -c:v ffv1 in.mkv",
         "in.mkv out.mp4",
         [](const fs::path& d, const std::string&) {
             // x264 writes its settings into the stream.
             const std::string settings = "grep -aoE 'rc=[a-z]+|crf=[0-9.]+| qp=[0-9]+' ";
             EXPECT_EQ(sh(d, settings + "out.mp4").text, "rc=crf\ncrf=18.0\n");
             ASSERT_EQ(sh(d, kOrv + " denoise in.mkv in.crf0.mp4 --crf 0", true).code, 0);
             EXPECT_EQ(sh(d, settings + "in.crf0.mp4").text, "rc=cqp\n qp=0\n");
         }},
        {"a 50-frame mp4 into one picture: the first frame, done", kMake + kPic + "-frames:v 50 -c:v libx264 in.mp4",
         "in.mp4 out.png",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.png", "-show_entries stream=codec_name,width"), "png,64\n");
             EXPECT_NE(err.find("holds one picture"), std::string::npos) << err;
         }},
        {"H.264 into TS stays H.264", kMake + kPic + "-frames:v 3 -c:v libx264 in.mp4", "in.mp4 out.ts",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.ts", "-show_entries stream=codec_name").rfind("h264\n", 0), 0u); }},
        {"a raw H.264 stream keeps its duration", kMake + kPic + "-frames:v 50 -c:v libx264 in.h264", "in.h264 out.mkv",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mkv", "-show_entries format=duration"), "2.000000\n"); }},
        {"SAR 741:740 through MPEG-4 Part 2, whose bitstream rounds it to 1:1",
         kMake + "-f lavfi -i testsrc2=size=90x48,setsar=r=741/740:max=1000 -frames:v 2 -c:v libx264 in.mp4", "in.mp4 out.avi --codec mpeg4",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.avi", "-show_entries stream=sample_aspect_ratio"), "741:740\n"); }},
        {"the progress bar counts the frames the encoder has finished, to the end",
         kMake + kPic + "-frames:v 10 -c:v ffv1 in.mkv", "in.mkv out.mkv --quiet",
         [](const fs::path& d, const std::string&) {
             const std::string bar = sh(d, "script -qec \"" + kOrv + " denoise in.mkv p.mkv --codec libx264\" /dev/null | tr '\\r' '\\n' | "
                                           "grep -o '[0-9]*/10 frames' | sed -n '1p;$p' | tr '\\n' ' '").text;
             EXPECT_EQ(bar, "0/10 frames 10/10 frames ");  // x264 holds frames back at first
         }},
        {"SAR into Matroska/FFV1", kMake + kSar + "-c:v ffv1 in.mkv", "in.mkv out.mkv",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=sample_aspect_ratio"), "64:45\n"); }},
        {"SAR into WebM/VP9", kMake + kSar + "-c:v ffv1 in.mkv", "in.mkv out.webm",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.webm", "-show_entries stream=sample_aspect_ratio"), "64:45\n"); }},
        {"SAR into mov/ProRes", kMake + kSar + "-c:v ffv1 in.mkv", "in.mkv out.mov --codec prores_ks",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mov", "-show_entries stream=sample_aspect_ratio"), "64:45\n"); }},
        {"PNG in Matroska stays PNG", kMake + kPic + "-frames:v 2 -c:v png in.mkv", "in.mkv out.mkv",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=codec_name"), "png\n"); }},
        {"Ut Video into Matroska when asked", kMake + kPic + "-frames:v 2 -c:v ffv1 in.mkv", "in.mkv out.mkv --codec utvideo",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=codec_name"), "utvideo\n"); }},
        {"a .jpg from a video is a JPEG", kMake + kPic + "-frames:v 2 -c:v libx264 in.mp4", "in.mp4 out.jpg",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.jpg", "-show_entries stream=codec_name"), "mjpeg\n"); }},
        {"a .jpg from a PNG is a JPEG", kMake + kPic + "-frames:v 1 in.png", "in.png out.jpg",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.jpg", "-show_entries stream=codec_name"), "mjpeg\n"); }},
        {"VP9 alpha comes back identical",
         kMake + "-f lavfi -i \"testsrc2=size=64x48,format=yuva420p,geq=lum='lum(X,Y)':cb='cb(X,Y)':cr='cr(X,Y)':a='X*4'\" "
                 "-frames:v 2 -c:v libvpx-vp9 -lossless 1 in.webm",
         "in.webm out.webm --encoder-opt lossless=1",
         [](const fs::path& d, const std::string&) {
             const std::string alpha = " -vf alphaextract -f rawvideo -pix_fmt gray - | md5sum";
             EXPECT_EQ(sh(d, "ffmpeg -v error -c:v libvpx-vp9 -i out.webm" + alpha).text,
                       sh(d, "ffmpeg -v error -c:v libvpx-vp9 -i in.webm" + alpha).text);
         }},
        {"ProRes 4444 alpha comes back identical",
         kMake + "-f lavfi -i \"testsrc2=size=64x48,format=yuva444p10le,geq=lum='lum(X,Y)':cb='cb(X,Y)':cr='cr(X,Y)':a='X*16'\" "
                 "-frames:v 2 -c:v prores_ks -profile:v 4444 in.mov",
         "in.mov out.mov",
         [](const fs::path& d, const std::string&) {
             const std::string alpha = " -vf alphaextract -f rawvideo -pix_fmt gray16le - | md5sum";
             EXPECT_EQ(sh(d, "ffmpeg -v error -i out.mov" + alpha).text, sh(d, "ffmpeg -v error -i in.mov" + alpha).text);
         }},
        {"HDR10 metadata on the output's frames",
         kMake + kPic + "-frames:v 2 -pix_fmt yuv420p10le -c:v libx265 -x265-params \"log-level=error:hdr10=1:"
                        "master-display=G(13250,34500)B(7500,3000)R(34000,16000)WP(15635,16450)L(10000000,1):max-cll=1000,400\" in.mkv",
         "in.mkv out.mkv",
         [](const fs::path& d, const std::string&) {
             const std::string sd = "-read_intervals %+#1 -show_entries frame_side_data=side_data_type,max_content";
             EXPECT_EQ(probe(d, "out.mkv", sd), probe(d, "in.mkv", sd));
             EXPECT_NE(probe(d, "out.mkv", sd).find("Mastering display"), std::string::npos);
         }},
        {"a damaged mp4 gives every frame that decodes and exit 3",
         kMake + "-f lavfi -i testsrc2=size=64x48,noise=alls=40:allf=t -t 2 -c:v libx264 -g 10 -movflags faststart d.mp4 && "
                 "head -c $(( $(stat -c %s d.mp4) * 2 / 3 )) d.mp4 >in.mp4 && rm d.mp4",
         "in.mp4 out.mkv",
         [](const fs::path& d, const std::string& err) {
             const std::string frames = "ffmpeg -v quiet -i in.mp4 -map 0:v -f framecrc - | grep -c '^0,'";
             EXPECT_EQ(sh(d, frames).text, sh(d, "ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 out.mkv").text);
             EXPECT_NE(err.find("damaged"), std::string::npos) << err;
         },
         3},
        // 1F 43 B6 75 opens a cluster: the third one's ID overwritten, the
        // demuxer logs it, skips to the next cluster and reports no error.
        {"a Matroska cluster whose damage only the demuxer's log shows: the other frames and exit 3",
         kMake + kPic + "-frames:v 6 -c:v png -cluster_size_limit 1000 d.mkv && cp d.mkv in.mkv && printf '\\377\\377\\377\\377' | "
                        "dd of=in.mkv bs=1 conv=notrunc status=none seek=$(LC_ALL=C grep -obUaP '\\x1f\\x43\\xb6\\x75' d.mkv | sed -n 3p | cut -d: -f1) && "
                        "rm d.mkv",
         "in.mkv out.mkv",
         [](const fs::path& d, const std::string& err) {
             const std::string frames = "ffmpeg -v quiet -i in.mkv -map 0:v -f framecrc - | grep -c '^0,'";
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), sh(d, frames).text);
             EXPECT_NE(err.find("its reader reported"), std::string::npos) << err;
             EXPECT_NE(err.find("), and frames may be concealed or missing"), std::string::npos) << err;
         },
         3},
        {"a cut-short HuffYUV AVI is damaged: exit 3",
         kMake + "-f lavfi -i testsrc2=size=64x48,noise=alls=40:allf=t -frames:v 10 -c:v huffyuv d.avi && "
                 "head -c $(( $(stat -c %s d.avi) * 9 / 10 )) d.avi >in.avi && rm d.avi",
         "in.avi out.avi", [](const fs::path&, const std::string& err) { EXPECT_NE(err.find("lists 10 frames and 9"), std::string::npos) << err; }, 3},
        {"bit-rot inside MJPEG frames is damage: exit 3",
         kMake + "-f lavfi -i testsrc2=size=64x48,noise=alls=40:allf=t -frames:v 10 -c:v mjpeg in.avi && for o in 3000 6000 "
                 "9000 12000; do printf '\\125\\125\\125\\125\\125' | dd of=in.avi bs=1 seek=$o conv=notrunc status=none; done",
         "in.avi out.avi", [](const fs::path&, const std::string& err) { EXPECT_NE(err.find("reader reported"), std::string::npos) << err; }, 3},
        {"a web mp4 (index first) cut at 90% is damaged: exit 3",
         kMake + "-f lavfi -i testsrc2=size=64x48,noise=alls=40:allf=t -frames:v 20 -c:v libx264 -movflags +faststart d.mp4 && "
                 "head -c $(( $(stat -c %s d.mp4) * 9 / 10 )) d.mp4 >in.mp4 && rm d.mp4",
         "in.mp4 out.mp4", [](const fs::path&, const std::string& err) { EXPECT_NE(err.find("lists 20 frames"), std::string::npos) << err; }, 3},
        {"DNxHR in mov stays DNxHR with its profile", kMake + kDnxhr + "in.mov", "in.mov out.mov",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mov", "-show_entries stream=codec_name,profile"), "dnxhd,DNXHR LB\n"); }},
        {"DNxHR in MXF stays DNxHR with its profile", kMake + kDnxhr + "in.mxf", "in.mxf out.mxf",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mxf", "-show_entries stream=codec_name,profile"), "dnxhd,DNXHR LB\n"); }},
        {"ProRes Proxy stays Proxy", kMake + kPic + "-frames:v 2 -c:v prores_ks -profile:v proxy in.mov", "in.mov out.mov",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.mov", "-show_entries stream=codec_name,profile"), "prores,Proxy\n"); }},
        {"a timecode track is written anew in mov, and the line says so", kMake + kPic + "-frames:v 2 -c:v ffv1 -timecode 01:00:00:00 in.mov",
         "in.mov out.mov",
         [](const fs::path& d, const std::string& err) {
             EXPECT_NE(probe(d, "out.mov", "-show_entries stream=codec_tag_string:stream_tags=timecode").find("tmcd,01:00:00:00"), std::string::npos);
             EXPECT_NE(err.find("written anew"), std::string::npos) << err;
         }},
        {"AAC into .ogv is left out with a line", kMake + kPic + "-f lavfi -i sine -t 0.2 -c:v libx264 -c:a aac in.mp4", "in.mp4 out.ogv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.ogv", "-show_entries stream=codec_type"), "video\n");
             EXPECT_NE(err.find("left out"), std::string::npos) << err;
         }},
        {"AV1 is encoded with SVT-AV1", kMake + "-f lavfi -i testsrc2=size=64x64 -frames:v 2 -c:v libaom-av1 -cpu-used 8 in.mkv",
         "in.mkv out.mkv --verbose",
         [](const fs::path&, const std::string& err) { EXPECT_NE(err.find("encoded with libsvtav1"), std::string::npos) << err; }},
        {"a sequence refuses to write over any file of its pattern",
         kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv && " + kMake + kPic + "-frames:v 1 out05.png", "in.mkv out%02d.png",
         [](const fs::path& d, const std::string& err) {
             EXPECT_NE(err.find("out05.png exists; use --force"), std::string::npos) << err;
             EXPECT_EQ(sh(d, "ls out*.png | tr '\\n' ' '").text, "out05.png ");
         },
         2},
        {"a sequence numbers from 1: an out00.png is not in its way",
         kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv && " + kMake + kPic + "-frames:v 1 out00.png", "in.mkv out%02d.png",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(sh(d, "ls out*.png | tr '\\n' ' '").text, "out00.png out01.png out02.png out03.png ");
         }},
        {"files from out01.png on are in its way, two named and the rest counted",
         kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv && " + kMake + kPic + "-frames:v 5 -start_number 0 out%02d.png",
         "in.mkv out%02d.png",
         [](const fs::path& d, const std::string& err) {
             EXPECT_NE(err.find("orv: out01.png, out02.png and 2 more exist; use --force to overwrite them\n"), std::string::npos) << err;
             EXPECT_EQ(sh(d, "ls out*.png | tr '\\n' ' '").text, "out00.png out01.png out02.png out03.png out04.png ");
         },
         2},
        {"with --force a sequence removes the older one's files past its end",
         kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv && " + kMake + kPic + "-frames:v 5 out%02d.png && touch out.png",
         "in.mkv out%02d.png --force",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(sh(d, "ls out*.png | tr '\\n' ' '").text, "out.png out01.png out02.png out03.png ");
             EXPECT_NE(err.find("removed out04.png and out05.png"), std::string::npos) << err;
         }},
        {"raw frames cut inside a frame keep the whole ones, exit 3",
         kMake + kPic + "-frames:v 3 -f rawvideo -pix_fmt bgr0 r.raw && head -c 25000 r.raw >in.raw && rm r.raw",
         "- out.mkv --size 64x48 <in.raw",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "2\n");
             EXPECT_NE(err.find("ended inside frame 2"), std::string::npos) << err;
         },
         3},
        {"a 25 fps Matroska makes a 25 fps AVI, every frame once", kMake + kPic + "-frames:v 10 -c:v libx264 in.mkv",
         "in.mkv out.avi",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.avi", "-show_entries stream=r_frame_rate,nb_frames"), "25/1,10\n"); }},
        {"a raw H.264 stream at --rate 30 makes a 30 fps AVI, every frame once",
         kMake + kPic + "-frames:v 10 -c:v libx264 in.h264", "in.h264 out.avi --rate 30",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(probe(d, "out.avi", "-count_frames -show_entries stream=r_frame_rate,avg_frame_rate,nb_frames,nb_read_frames"),
                       "30/1,30/1,10,10\n");
         }},
        {"a 25 fps mp4 makes a 25 fps Y4M", kMake + kPic + "-frames:v 3 -c:v libx264 in.mp4", "in.mp4 out.y4m",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(sh(d, "head -c 40 out.y4m | grep -c ' F25:1 '").text, "1\n"); }},
        {"a variable rate into AVI: one line, the stream's rate, every frame once as ffmpeg writes it",
         kMake + kPic + "-t 1 -vf \"select='not(eq(mod(n,3),1))'\" -fps_mode vfr -c:v ffv1 in.mkv", "in.mkv out.avi",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.avi", "-count_frames -show_entries stream=r_frame_rate,nb_read_frames"), "25/1,17\n");
             EXPECT_NE(err.find("frame rate varies"), std::string::npos) << err;
         }},
        {"an extension that names a codec takes it", kMake + kPic + "-frames:v 3 -c:v libx264 in.mkv", "in.mkv out.m2v",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "out.m2v", "-show_entries stream=codec_name,r_frame_rate").rfind("mpeg2video,25/1,", 0), 0u); }},
        {"quantiser family (MPEG, WMV, FLV, RealVideo) near x264 crf 18", kClean, "in.mkv out.wmv --disable --codec wmv2",
         [](const fs::path& d, const std::string&) { near_x264(d, "out.wmv"); }},
        {"RealVideo in .rm, on its frame rate", kClean, "in.mkv out.rm --disable",
         [](const fs::path& d, const std::string&) { near_x264(d, "out.rm"); }},
        {"VP8 near x264 crf 18", kClean, "in.mkv out.webm --disable --codec libvpx",
         [](const fs::path& d, const std::string&) { near_x264(d, "out.webm"); }},
        {"Theora near x264 crf 18", kClean, "in.mkv out.ogv --disable",
         [](const fs::path& d, const std::string&) { near_x264(d, "out.ogv"); }},
        {"a name with a colon is a file, and -- ends the options", kMake + kPic + "-frames:v 3 -c:v ffv1 ./-take:1.mkv",
         "--quiet -- -take:1.mkv out:1.mkv",
         [](const fs::path& d, const std::string&) { EXPECT_EQ(probe(d, "file:out:1.mkv", "-show_entries stream=codec_name"), "ffv1\n"); }},
        {"picture sequences out",
         kMake + kPic + "-frames:v 3 -c:v ffv1 in.mkv", "in.mkv out%02d.png",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(sh(d, "ls out*.png | tr '\\n' ' '").text, "out01.png out02.png out03.png ");
         }},
        {"audio first, video at 1/12800 in mp4: every time kept",
         kMake + kPic + "-f lavfi -i sine -map 1:a -map 0:v -t 0.4 -c:v libx264 -c:a aac in.mp4", "in.mp4 out.mkv",
         [](const fs::path& d, const std::string&) { expect_times_of_a_copy(d, "in.mp4", "out.mkv"); }},
        {"audio first in TS at 1/90000, into mp4 as MPEG-2, which counts frames: every time kept, start time too",
         kMake + kPic + "-f lavfi -i sine -map 1:a -map 0:v -t 0.4 -c:v libx264 -c:a mp2 in.ts",
         "in.ts out.mp4 --codec mpeg2video",
         [](const fs::path& d, const std::string&) { expect_times_of_a_copy(d, "in.ts", "out.mp4"); }},
        {"interlaced FFV1 in Matroska, top field first (TB): kept, filtered by field",
         kMake + kPic + "-frames:v 3 -vf setfield=tff -c:v ffv1 in.mkv && " + kMake + kPic + "-frames:v 3 -c:v ffv1 in.p.mkv",
         "in.mkv out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=field_order"), "tb\n");
             EXPECT_NE(err.find("fields are filtered apart"), std::string::npos) << err;
             ASSERT_EQ(sh(d, kOrv + " denoise in.p.mkv in.ref.mkv --interlace").code, 0);
             EXPECT_EQ(pixels(d, "out.mkv"), pixels(d, "in.ref.mkv"));
         }},
        {"interlaced, bottom field first (BT): kept; with --no-interlace filtered as whole frames",
         kMake + kPic + "-frames:v 3 -vf setfield=bff -c:v ffv1 in.mkv && " + kMake + kPic + "-frames:v 3 -c:v ffv1 in.p.mkv",
         "in.mkv out.mkv --no-interlace",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=field_order"), "bt\n");
             EXPECT_EQ(err.find("filtered apart"), std::string::npos) << err;
             ASSERT_EQ(sh(d, kOrv + " denoise in.p.mkv in.ref.mkv").code, 0);
             EXPECT_EQ(pixels(d, "out.mkv"), pixels(d, "in.ref.mkv"));
             const Out byField = sh(d, kOrv + " denoise in.mkv in.fields.mkv", true);
             EXPECT_NE(byField.text.find("filtered apart"), std::string::npos) << byField.text;
             EXPECT_NE(pixels(d, "in.fields.mkv"), pixels(d, "in.ref.mkv"));
         }},
        {"a sequence of distinct pictures into one picture: the first, denoised",
         kMake + "-f lavfi -i testsrc2=size=64x48:rate=25,hue=s=0.4,noise=alls=20:allf=t -frames:v 3 in%02d.png",
         "in%02d.png out.png",
         [](const fs::path& d, const std::string&) {
             ASSERT_NE(pixels(d, "in01.png"), pixels(d, "in02.png"));
             ASSERT_EQ(sh(d, kOrv + " denoise in01.png in.ref.png").code, 0);
             EXPECT_EQ(pixels(d, "out.png"), pixels(d, "in.ref.png"));
         }},
        {"RGB of exactly 720 rows into YUV: BT.709, tagged and converted",
         kMake + "-f lavfi -i testsrc2=size=64x720,hue=s=0.4 -frames:v 1 -c:v ffv1 -pix_fmt bgr0 in.mkv",
         "in.mkv out.mkv --disable --pix-fmt yuv444p",
         [](const fs::path& d, const std::string&) {
             EXPECT_EQ(probe(d, "out.mkv", "-show_entries stream=color_space"), "bt709\n");
             EXPECT_GE(psnr_rgb(d, "out.mkv", "in.mkv"), 45.0);
         }},
        {"a picture that can't be read ends the input: the frames before it and exit 3",
         kMake + kPic + "-frames:v 4 in%02d.png && rm in03.png && mkdir in03.png", "in%02d.png out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "2\n");
             EXPECT_NE(err.find("could not be read to its end"), std::string::npos) << err;
         },
         3},
        // The y4m demuxer meets the third frame's overwritten FRAME marker
        // with "invalid data", an error that sorts below the end's.
        {"a Y4M frame whose marker is gone ends the input: the frames before it and exit 3",
         kMake + kPic + "-frames:v 5 d.y4m && cp d.y4m in.y4m && printf XXXXX | dd of=in.y4m bs=1 conv=notrunc status=none "
                        "seek=$(LC_ALL=C grep -obUa FRAME d.y4m | sed -n 3p | cut -d: -f1) && rm d.y4m",
         "in.y4m out.mkv",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "2\n");
             EXPECT_NE(err.find("could not be read to its end"), std::string::npos) << err;
         },
         3},
        {"a packet the decoder refuses is skipped: the other frames and exit 3",
         kMake + kPic + "-frames:v 5 -c:v rawvideo -pix_fmt bgr24 d.nut && "
                        "head -c $(( $(stat -c %s d.nut) - 6000 )) d.nut >in.nut && rm d.nut",
         "in.nut out.mkv --codec ffv1",
         [](const fs::path& d, const std::string& err) {
             EXPECT_EQ(probe(d, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "4\n");
             EXPECT_NE(err.find("1 packets or frames could not be decoded"), std::string::npos) << err;
         },
         3},
    };
    // x265 3.5 never frees the strings of its HDR parameters: the library's
    // leak, which the sanitizer run would otherwise lay at orv's door.
    const std::string supp = dir.string() + ".lsan";
    std::ofstream(supp) << "leak:libx265.so\n";
    const char* lsan = std::getenv("LSAN_OPTIONS");
    setenv("LSAN_OPTIONS", ((lsan != nullptr ? std::string(lsan) + ":" : "") + "suppressions=" + supp).c_str(), 1);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove_all(dir);
        fs::create_directory(dir);
        ASSERT_EQ(sh(dir, r.make, true).code, 0) << r.make;
        const Out o = sh(dir, kOrv + " denoise " + r.args, true);
        ASSERT_EQ(o.code, r.code) << o.text;
        r.check(dir, o.text);
        EXPECT_EQ(listing(dir).find(".orv-"), std::string::npos) << listing(dir);
    }
    fs::remove(supp);
}

TEST_F(CliMedia, FailuresLeaveNothing) {
    ASSERT_EQ(sh(dir, kMake + kPic + "-frames:v 8 -c:v ffv1 in.mkv && " + kMake + kPic +
                          "-frames:v 0 -c:v ffv1 in0.mkv && ln -s in.mkv in1.mkv && " + kMake + kPic + "-frames:v 3 in%02d.png && " +
                          kMake + "-f lavfi -i sine=d=0.2 -i in01.png -map 0 -map 1 -c:v png -disposition:v attached_pic in.mp3")
                  .code,
              0);
    const struct {
        std::string cmd;
        int code;
        std::string message;
    } rows[] = {
        {"ulimit -f 8 && " + kOrv + " denoise in.mkv out.mkv --codec rawvideo", 1, "File too large"},
        {kOrv + " denoise - - --size 64x48 </dev/zero >/dev/full", 1, "cannot write to standard output"},
        {kOrv + " denoise in0.mkv out.mkv", 2, "in0.mkv"},
        {kOrv + " denoise in.mkv out.xyz", 2, "don't know which format"},
        {kOrv + " denoise in.mkv pipe:1", 2, "don't know which format to write for pipe:1"},
        {kOrv + " denoise in.mkv out.mkv --format nosuch", 2, "unknown --format nosuch"},
        {kOrv + " denoise in.mkv pipe:1 --format mp4", 2, "(mp4 may need to seek; matroska, mpegts and nut write to a pipe)"},
        {kOrv + " denoise file:in.mkv out.mkv", 2, "cannot read file:in.mkv: No such file"},
        {kOrv + " denoise in.mkv out.webm --codec libvpx-vp9 --encoder-opt deadline=bogus", 2,
         "deadline=bogus: libvpx-vp9's deadline takes best, good or realtime, or a number from"},
        {kOrv + " denoise in.mkv out.mkv --codec nosuch", 2, "unknown video encoder nosuch"},
        {kOrv + " denoise in.mkv out.mkv --codec libx264 --encoder-opt nosuch=1", 2, "has no option nosuch"},
        {kOrv + " denoise in0.mkv out.mkv --codec ffv1 --crf 20", 2, "no --crf"},
        {kOrv + " denoise in.mkv out.mkv --pix-fmt nosuch", 2, "unknown pixel format"},
        {kOrv + " denoise in.mkv in1.mkv --force", 2, "is the input itself"},
        {kOrv + " denoise in.mp3 out.mp3", 2, "no video to denoise: its only picture is cover art"},
        {kOrv + " denoise in.mkv out.mkv --crf abc", 2, "--crf takes a number, not 'abc'"},
        {kOrv + " denoise in.mkv out.mkv --codec libx264 --encoder-opt crf=abc", 2, "crf=abc: libx264's crf takes a number from 0 to 51"},
        {kOrv + " denoise in.mkv out.mkv --codec vc2 --encoder-opt tolerance=99", 2,
         "--encoder-opt tolerance=99: vc2's tolerance takes a number from 0 to 45"},
        {kOrv + " denoise in.mkv out.mkv --codec libx264 --crf -5", 2, "--crf -5: libx264's crf takes a number from 0 to 51"},
        {kOrv + " denoise in0.mkv out.mkv --codec libx264 --crf 99", 2, "--crf 99: libx264's crf takes"},  // before reading
        {kOrv + " denoise in.mkv out.mkv --codec libx264 --preset turbo", 2, "--preset turbo: libx264 won't open with it"},
        {kOrv + " denoise in%02d.png in%02d.png --force", 2, "would write over the input's in01.png"},
        {kOrv + " denoise in%02d.png in02.png --force", 2, "in02.png is the input itself"},
        {kOrv + " denoise in02.png in%02d.png --force", 2, "would write over the input's in02.png"},
    };
    for (const auto& r : rows) {
        const Out o = sh(dir, r.cmd, true);
        EXPECT_EQ(o.code, r.code) << r.cmd << "\n" << o.text;
        EXPECT_NE(o.text.find(r.message), std::string::npos) << o.text;
        EXPECT_EQ(std::count(o.text.begin(), o.text.end(), '\n'), 1) << o.text;
        EXPECT_EQ(listing(dir), "") << r.cmd;
    }
}

TEST_F(CliMedia, ThreadsGiveTheSameFileAsOne) {
    // Interlaced MPEG-2 reads whole field macroblock rows past a 48-row picture.
    ASSERT_EQ(sh(dir, kMake + kPic + "-frames:v 12 -c:v ffv1 in.mkv && " + kMake + kPic +
                          "-frames:v 12 -vf setfield=tff -c:v mpeg2video -flags +ildct+ilme in.ts")
                  .code,
              0);
    const std::pair<const char*, const char*> runs[] = {{"in.mkv", "mkv"}, {"in.mkv", "mp4"}, {"in.ts", "ts"}};
    for (const auto& [in, ext] : runs) {
        const std::string one = std::string("one.") + ext, three = std::string("three.") + ext;
        const Out o = sh(dir, kOrv + " denoise " + in + " " + one + " --quiet --threads 1 && " + kOrv + " denoise " + in +
                                  " " + three + " --quiet --threads 3 && cmp " + one + " " + three, true);
        EXPECT_EQ(o.code, 0) << ext << "\n" << o.text;
    }
}

TEST_F(CliMedia, SignalsStopPromptlyAndCleanUp) {
    const struct {
        int sig, code;
        bool atEnd;  // the input has ended: orv is draining the encoder and writing the trailer
    } rows[] = {{SIGINT, 130, false}, {SIGTERM, 143, false}, {SIGHUP, 129, false},
                {SIGINT, 130, true},  {SIGTERM, 143, true},  {SIGHUP, 129, true}};
    int late = 0;  // runs that were complete before their signal came
    for (const auto& r : rows) {
        // Raw frames from a pipe: orv is mid-run while it stays open. At the
        // end, an encoder that holds every frame until the input ends keeps
        // orv busy after it.
        const std::string size = r.atEnd ? "320x240" : "64x48";
        const std::string cmd = "cd '" + dir.string() + "' && exec " + kOrv + " denoise - out.mkv --size " + size +
                                (r.atEnd ? " --codec libx264 --preset veryslow --encoder-opt rc-lookahead=250" : "") +
                                " 2>in.err";
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(fds[0], 0);
            close(fds[1]);
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[0]);
        std::string frames(r.atEnd ? 320 * 240 * 4 * 40 : 64 * 48 * 4 * 2, '\0');
        for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<char>((i * 2654435761u) >> 13);
        ASSERT_EQ(write(fds[1], frames.data(), frames.size()), static_cast<ssize_t>(frames.size()));
        if (r.atEnd) {
            close(fds[1]);
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        for (int i = 0; i < 100 && listing(dir).find(".orv-") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto sent = std::chrono::steady_clock::now();
        kill(pid, r.sig);
        int status = 0;
        waitpid(pid, &status, 0);
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
        if (!r.atEnd) close(fds[1]);
        const std::string err = sh(dir, "cat in.err").text;
        // Only a signal that comes once the output is complete under its name
        // lets the run end well; a run whose input is still open can't be.
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && err.find("came after") != std::string::npos) {
            EXPECT_TRUE(r.atEnd) << r.sig << " " << err;
            EXPECT_EQ(listing(dir), "out.mkv ");
            EXPECT_EQ(probe(dir, "out.mkv", "-count_frames -show_entries stream=nb_read_frames"), "40\n");
            fs::remove(dir / "out.mkv");
            ++late;
            continue;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == r.code) << r.sig << " status " << status << " " << err;
        EXPECT_LT(took, 0.5);
        EXPECT_EQ(listing(dir), "");
    }
    // The drain outlasts the wait before the signal: some run must really be
    // stopped in it.
    EXPECT_LT(late, 3);
}

TEST_F(CliMedia, VersionAndHelp) {
    EXPECT_EQ(sh(dir, kOrv + " --version").text.rfind("orv 3.6.1 (libavformat ", 0), 0u);
    const std::string help = sh(dir, kOrv + " --help").text;
    for (const char* s : {"audio, subtitles", "crf 18", "Exit status", "143", "pipe:1", "its values are passed as they"})
        EXPECT_NE(help.find(s), std::string::npos) << s;
}

}  // namespace
