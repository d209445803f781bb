// orv names the route its frames took: GPU with the fake NVIDIA driver on
// the library path, CPU without it; with --verbose, why the GPU left a frame.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int W = 48, H = 32, N = 3;

struct OrvRun {
    int code;
    std::string err;
    std::vector<uint32_t> out;
};

OrvRun run_orv(const fs::path& dir, const std::string& env, const std::string& args) {
    const fs::path in = dir / "in.raw", out = dir / "out.raw", err = dir / "err.txt";
    {
        std::vector<uint32_t> frames(static_cast<size_t>(W) * H * N, 0x808080);
        std::ofstream f(in, std::ios::binary);
        f.write(reinterpret_cast<const char*>(frames.data()), static_cast<std::streamsize>(frames.size() * 4));
    }
    const std::string cmd = env + " '" ORV_EXE "' --module '" ORV_MODULE "' denoise - - --size 48x32 " + args + " <'" +
                            in.string() + "' >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(cmd.c_str());
    OrvRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", {}};
    std::ifstream e(err);
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    std::ifstream o(out, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(o)), std::istreambuf_iterator<char>());
    r.out.resize(bytes.size() / 4);
    std::memcpy(r.out.data(), bytes.data(), r.out.size() * 4);
    return r;
}

TEST(CliGpuRoute, SummaryNamesTheRoute) {
    if (!ORV_HAVE_KERNELS) GTEST_SKIP() << "the module was built without GPU kernels (ORV_CUDA off or no nvcc)";
    char tmpl[] = "/tmp/orv-cli-gpu-XXXXXX";
    const fs::path dir = mkdtemp(tmpl);
    constexpr uint32_t kGpu = 0x808080, kCpu = 0x7F7F7F;  // flat grey as each route rounds it
    const std::string fake = "env -u CUDA_VISIBLE_DEVICES LD_LIBRARY_PATH='" ORV_FAKE_CUDA_DIR "'";
    const struct {
        std::string env, args;
        const char* route;
        uint32_t words[N];
        const char* declined = nullptr;
    } cases[] = {
        // The caller's environment may hide every device, and the machine
        // may have a driver of its own.
        {fake, "", "route GPU", {kGpu, kGpu, kGpu}},
        {"env -u LD_LIBRARY_PATH CUDA_VISIBLE_DEVICES=", "", "route CPU", {kCpu, kCpu, kCpu}},
        // One instance on one thread takes every frame: the first frame's
        // failed profile read (no reason to leave the GPU) must not be named
        // for the second frame's failed download. Three copies of frames a
        // frame: the profile's upload, the denoise's upload and the download.
        {fake + " FAKE_CUDA_FAIL=cuMemcpyDtoHAsync_v2:1:700,cuMemcpy2DAsync_v2:6:701",
         "--verbose",
         "route GPU 2, CPU 1",
         {kGpu, kCpu, kGpu},
         "the GPU route declined 1 frame: cuMemcpy2DAsync returned 701; the CPU route took it"},
    };
    for (const auto& c : cases) {
        const OrvRun r = run_orv(dir, c.env, c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.err.find(c.route), std::string::npos) << r.err;
        std::vector<uint32_t> want;
        for (uint32_t word : c.words) want.insert(want.end(), static_cast<size_t>(W) * H, word);
        EXPECT_EQ(r.out, want) << c.route;
        if (c.declined != nullptr) {
            EXPECT_NE(r.err.find(c.declined), std::string::npos) << r.err;
            EXPECT_EQ(r.err.find("declined", r.err.find("declined") + 1), std::string::npos) << r.err;
        }
    }
    fs::remove_all(dir);
}

}  // namespace
