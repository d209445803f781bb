// Runs the built `orv` as a user would, against the built module and ffmpeg.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "test_support/frame_util.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int code;
    std::string err;
};

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliRun : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/orv-cli-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs orv with the given arguments; stdin and stdout from/to files in dir.
    Result orv(const std::vector<std::string>& args, const std::string& stdinFile = "/dev/null",
               const std::string& stdoutFile = "/dev/null", const std::string& env = "") {
        const bool verbose = std::find(args.begin(), args.end(), "--verbose") != args.end();
        std::string cmd = env + " " + quote(ORV_EXE) + " --module " + quote(ORV_MODULE) + (verbose ? "" : " --quiet");
        for (const auto& a : args) cmd += " " + quote(a);
        const fs::path errFile = dir / "stderr.txt";
        cmd += " <" + quote(stdinFile) + " >" + quote(stdoutFile) + " 2>" + quote(errFile.string());
        const int status = std::system(cmd.c_str());
        std::ifstream e(errFile);
        std::stringstream ss;
        ss << e.rdbuf();
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ss.str()};
    }

    std::string path(const std::string& name) { return (dir / name).string(); }

    static void write_raw(const std::string& p, const std::vector<uint32_t>& frames) {
        std::ofstream f(p, std::ios::binary);
        f.write(reinterpret_cast<const char*>(frames.data()), static_cast<std::streamsize>(frames.size() * 4));
    }
    static std::vector<uint32_t> read_raw(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        std::vector<uint32_t> w(bytes.size() / 4);
        std::memcpy(w.data(), bytes.data(), w.size() * 4);
        return w;
    }
    // No file of ours is left behind in dir other than the ones named.
    std::vector<std::string> leftovers() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string().rfind(".orv-", 0) == 0) names.push_back(e.path().filename());
        return names;
    }
};

constexpr int W = 48, H = 32, N = 4;

std::vector<uint32_t> clip_frames(uint32_t seed, int w = W, int h = H) {
    std::mt19937 rng(seed);
    std::vector<uint32_t> all;
    for (int i = 0; i < N; ++i) {
        auto f = orv::test::noisy_frame(rng, w, h);
        all.insert(all.end(), f.begin(), f.end());
    }
    return all;
}

std::vector<uint32_t> reference(const std::vector<uint32_t>& frames, orv::test::Settings s = {}, int w = W, int h = H) {
    std::vector<uint32_t> out;
    for (int i = 0; i < N; ++i) {
        std::vector<uint32_t> f(frames.begin() + i * w * h, frames.begin() + (i + 1) * w * h);
        auto d = orv::test::denoise(f, w, h, s);
        out.insert(out.end(), d.begin(), d.end());
    }
    return out;
}

TEST_F(CliRun, BadInputIsOneLineAndLeavesNoOutput) {
    write_raw(path("seven.raw"), std::vector<uint32_t>(25, 0));
    std::ofstream(path("notvideo.txt")) << "hello\n";
    std::ofstream(path("exists.mkv")) << "keep me";
    const std::string out = path("out.mkv");
    write_raw(path("clip.raw"), clip_frames(1));
    const struct {
        std::vector<std::string> args;
        std::string env;
        int code;
        std::string message;
    } rows[] = {
        {{"denoise", path("missing.mkv"), out}, "", 2, "cannot read " + path("missing.mkv")},
        {{"denoise", path("notvideo.txt"), out}, "", 2, "as a video"},
        {{"denoise", path("clip.raw"), out, "--frobnicate"}, "", 2, "unknown option --frobnicate"},
        {{"denoise", "-", out, "--size", "48x32", "--config", "Konfig(1,2,3,4,5)"}, "", 2, "no script function Konfig"},
        {{"denoise", "-", out, "--size", "48x32", "--config", "Config(1,2,3)"}, "", 2, "taking 3 integers"},
        {{"denoise", "-", out, "--size", "48x32", "--config", "Config(a,b,c,d,e)"}, "", 2, "not a 32-bit integer"},
        {{"denoise", "-", path("no/such/dir/out.mkv"), "--size", "48x32"}, "", 2, "cannot write"},
        {{"denoise", "-", path("exists.mkv"), "--size", "48x32"}, "", 2, "exists; use --force"},
        {{"denoise", "-", "-", "--size", "7x5"}, "", 2, "don't fit"},
        {{"denoise", "-", out, "--size", "7x5"}, "", 2, "don't fit"},
        {{"denoise", "-", out, "--size", "48x32", "--kernel-set", "avx1024"}, "", 2, "unknown kernel set 'avx1024'"},
        {{"denoise", "-", out, "--size", "48x32", "--module", ORV_OTHER_LAYOUT_MODULE}, "", 1,
         "declares another instance record layout"},
        {{"denoise", "-", out, "--size", "48x32", "--module", ORV_NO_CONTRACT_MODULE}, "", 1,
         "declares no instance record layout"},
    };
    for (const auto& r : rows) {
        const Result res = orv(r.args, path("seven.raw"), "/dev/null", r.env);
        EXPECT_EQ(res.code, r.code) << res.err;
        EXPECT_NE(res.err.find(r.message), std::string::npos) << "got: " << res.err;
        EXPECT_EQ(std::count(res.err.begin(), res.err.end(), '\n'), 1) << res.err;
        EXPECT_FALSE(fs::exists(out));
        EXPECT_TRUE(leftovers().empty());
    }
    std::ifstream keep(path("exists.mkv"));
    std::string kept;
    std::getline(keep, kept);
    EXPECT_EQ(kept, "keep me");
}

TEST_F(CliRun, ClipThroughFfmpegEqualsTheModule) {
    const auto frames = clip_frames(2);
    write_raw(path("clip.raw"), frames);
    const std::string enc = "ffmpeg -v error -f rawvideo -pix_fmt bgr0 -s 48x32 -r 25 -i " + quote(path("clip.raw")) +
                            " -c:v ffv1 " + quote(path("in.mkv"));
    ASSERT_EQ(std::system(enc.c_str()), 0);
    const Result r = orv({"denoise", path("in.mkv"), path("out.mkv"), "--codec", "ffv1"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string dec = "ffmpeg -v error -i " + quote(path("out.mkv")) + " -f rawvideo -pix_fmt bgr0 " +
                            quote(path("out.raw"));
    ASSERT_EQ(std::system(dec.c_str()), 0);
    auto got = read_raw(path("out.raw"));
    auto want = reference(frames);
    ASSERT_EQ(got.size(), want.size());
    for (auto& p : got) p &= 0xFFFFFF;  // the container's pad byte is its own
    EXPECT_EQ(got, want);
    EXPECT_TRUE(leftovers().empty());
    // Written again only with --force.
    EXPECT_EQ(orv({"denoise", path("in.mkv"), path("out.mkv")}).code, 2);
    EXPECT_EQ(orv({"denoise", path("in.mkv"), path("out.mkv"), "--codec", "ffv1", "--force"}).code, 0);
}

TEST_F(CliRun, SettingsReachTheInstanceAsTheScriptWould) {
    const auto frames = clip_frames(3);
    write_raw(path("clip.raw"), frames);
    using S = orv::test::Settings;
    const struct {
        std::vector<std::string> opts;
        S settings;
    } rows[] = {
        {{}, S{}},
        {{"--config", "Config(-5,300,9,2,7)"}, S{-5, 300, 9, 2, 0}},
        {{"--config", "Config(10,20,5,0,1)", "--f2", "40"}, S{10, 40, 5, 0, 0}},
        {{"--f1", "0", "--f2", "100", "--sharp", "6", "--interlace"}, S{0, 100, 6, 1, 0}},
        {{"--show-noise"}, S{70, 70, 2, 0, 1}},
        {{"--no-auto-profile", "--sharp", "0"}, S{70, 70, 0, 0, 0}},
        {{"--kernel-set", "reference"}, S{}},
        {{"--kernel-set", "sse41", "--sharp", "6"}, S{70, 70, 6, 0, 0}},
    };
    for (const auto& r : rows) {
        std::vector<std::string> args{"denoise", "-", "-", "--size", "48x32"};
        args.insert(args.end(), r.opts.begin(), r.opts.end());
        const Result res = orv(args, path("clip.raw"), path("out.raw"));
        ASSERT_EQ(res.code, 0) << res.err;
        EXPECT_EQ(read_raw(path("out.raw")), reference(frames, r.settings)) << ::testing::PrintToString(r.opts);
    }
    // Pass-through carries whole words, top bytes included.
    std::vector<uint32_t> tops = frames;
    for (auto& p : tops) p |= 0xAB000000;
    write_raw(path("tops.raw"), tops);
    ASSERT_EQ(orv({"denoise", "-", "-", "--size", "48x32", "--disable"}, path("tops.raw"), path("out.raw")).code, 0);
    EXPECT_EQ(read_raw(path("out.raw")), tops);
    // Rows of a width whose bytes no vector alignment divides come and go packed.
    const auto odd = clip_frames(4, 13, 7);
    write_raw(path("odd.raw"), odd);
    ASSERT_EQ(orv({"denoise", "-", "-", "--size", "13x7"}, path("odd.raw"), path("out.raw")).code, 0);
    EXPECT_EQ(read_raw(path("out.raw")), reference(odd, {}, 13, 7));
}

// A file that appears under the output's name while orv runs is the user's:
// only --force replaces it. The frames come through a pipe that stays open
// until the file is there, so the run is still going when it appears.
TEST_F(CliRun, AnOutputThatAppearsMeanwhileIsNotReplaced) {
    const auto frames = clip_frames(5);
    for (const bool force : {false, true}) {
        const std::string fifo = path("frames.fifo"), out = path("out.nut");
        fs::remove(out);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        std::thread feed([&] {
            std::ofstream f(fifo, std::ios::binary);
            f.write(reinterpret_cast<const char*>(frames.data()), static_cast<std::streamsize>(frames.size() * 4));
            f.flush();
            for (int i = 0; i < 2000 && leftovers().empty(); ++i) usleep(5000);  // the hidden output is open
            std::ofstream(out) << "user's";
        });
        std::vector<std::string> args{"denoise", "-", out, "--size", "48x32", "--codec", "ffv1"};
        if (force) args.push_back("--force");
        const Result r = orv(args, fifo);
        feed.join();
        fs::remove(fifo);
        std::ifstream o(out);
        std::string first;
        std::getline(o, first);
        EXPECT_EQ(r.code, force ? 0 : 1) << r.err;
        EXPECT_EQ(first == "user's", !force) << r.err;
        if (!force) {
            const std::string kept = path("out.orv-") + r.err.substr(r.err.rfind('-') + 1, r.err.rfind(".nut") - r.err.rfind('-') - 1) + ".nut";
            EXPECT_NE(r.err.find("appeared while orv ran and is left as it was; the result is kept as " + kept),
                      std::string::npos) << r.err;
            const std::string probe = "ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 " +
                                      quote(kept) + " > " + quote(path("frames.txt"));
            EXPECT_EQ(std::system(probe.c_str()), 0);
            std::ifstream n(path("frames.txt"));
            int count = 0;
            n >> count;
            EXPECT_EQ(count, N) << "the kept result holds every frame";
            fs::remove(kept);
        }
        EXPECT_TRUE(leftovers().empty());
    }
}

// The default thread count is the processors orv may use, and --verbose
// says what runs.
TEST_F(CliRun, VerboseSaysThreadsAndKernels) {
    write_raw(path("clip.raw"), clip_frames(4));
    cpu_set_t set;
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    int first = 0;
    while (!CPU_ISSET(first, &set)) ++first;
    const struct {
        std::string env;
        std::vector<std::string> opts;
        std::string said;
    } rows[] = {
        {"taskset -c " + std::to_string(first), {}, " on 1 thread;"},
        {"taskset -c " + std::to_string(first), {"--threads", "0"}, " on 1 thread;"},
        {"", {"--config", "Config(200,70,-3,0,1)"},
         "orv: --config sets f1 200 (--f1 takes 0 to 100), sharp -3 (--sharp takes 0 to 6); the filter takes the values as they are"},
        {"", {"--threads", "3", "--kernel-set", "reference", "--config", "Config(5,70,2,0,1)"},
         "runs as Config(5,70,2,0,1) on 3 threads; the CPU route's kernels are the reference set"},
    };
    for (const auto& r : rows) {
        std::vector<std::string> args{"denoise", "-", "-", "--size", "48x32", "--verbose"};
        args.insert(args.end(), r.opts.begin(), r.opts.end());
        const Result res = orv(args, path("clip.raw"), path("out.raw"), r.env);
        EXPECT_EQ(res.code, 0) << res.err;
        EXPECT_NE(res.err.find(r.said), std::string::npos) << r.env << " got: " << res.err;
    }
}

}  // namespace
