// orv names the route its frames took: GPU with the fake NVIDIA driver on
// the library path, CPU without it.
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

OrvRun run_orv(const fs::path& dir, const std::string& env) {
    const fs::path in = dir / "in.raw", out = dir / "out.raw", err = dir / "err.txt";
    {
        std::vector<uint32_t> frames(static_cast<size_t>(W) * H * N, 0x808080);
        std::ofstream f(in, std::ios::binary);
        f.write(reinterpret_cast<const char*>(frames.data()), static_cast<std::streamsize>(frames.size() * 4));
    }
    const std::string cmd = env + " '" ORV_EXE "' --module '" ORV_MODULE "' denoise - - --size 48x32 <'" +
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
    const struct {
        std::string env;
        const char* route;
        uint32_t word;  // flat grey as each route rounds it
    } cases[] = {
        // The caller's environment may hide every device, and the machine
        // may have a driver of its own.
        {"env -u CUDA_VISIBLE_DEVICES LD_LIBRARY_PATH='" ORV_FAKE_CUDA_DIR "'", "route GPU", 0x808080},
        {"env -u LD_LIBRARY_PATH CUDA_VISIBLE_DEVICES=", "route CPU", 0x7F7F7F},
    };
    for (const auto& c : cases) {
        const OrvRun r = run_orv(dir, c.env);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.err.find(c.route), std::string::npos) << r.err;
        EXPECT_EQ(r.out, std::vector<uint32_t>(static_cast<size_t>(W) * H * N, c.word)) << c.route;
    }
    fs::remove_all(dir);
}

}  // namespace
