// The module's life with the driver: nothing at load, the driver and the GPU
// code brought up once at the first operation, and let go at unload; a
// driver that fails while coming up leaves every frame to the CPU route; a
// stranger's nvcuda.dll already in the process is never called.
#include "gpu/tests/gpu_route_fixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orv::test {
namespace {

bool gpu_took(HostInstance& in, int32_t w, int32_t h) {
    TestFrame src(w, h, w * 4), dst(w, h, w * 4);
    src.fill_words(0x808080);
    if (in.run(src, dst) != 0) return false;
    return dst.packed() == std::vector<uint32_t>(static_cast<size_t>(w) * h, 0x808080);
}

TEST(GpuDriver, UpAtTheFirstOperationAndReleasedAtUnload) {
    FakeDriver d;
    {
        RegisteredModule m;
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        EXPECT_EQ(d.log(), "") << "loading and registering needs no driver";

        TestFrame src(16, 16, 64);
        ASSERT_EQ(in.start(src), 0);
        EXPECT_EQ(log_lines(d.log(), {"cuInit", "cuDeviceGet", "cuDevicePrimaryCtxRetain", "cuModuleLoadData",
                                      "cuModuleGetFunction", "cuStreamCreate"}),
                  (std::vector<std::string>{"cuInit flags=0", "cuDeviceGet ordinal=0",
                                            "cuDevicePrimaryCtxRetain device=0", "cuModuleLoadData",
                                            std::string("cuModuleGetFunction ") + emu::kDenoiseKernelName,
                                            std::string("cuModuleGetFunction ") + emu::kProfileKernelName,
                                            "cuStreamCreate flags=1"}));
        EXPECT_TRUE(gpu_took(in, 16, 16));
        EXPECT_EQ(in.end(), 0);
        d.reset();
    }
#ifdef _WIN32
    // A DLL's detach runs under the loader lock, where the driver must not be
    // called: the module leaves its code and context to the process's end.
    EXPECT_EQ(log_lines(d.log(), {"cuModuleUnload", "cuDevicePrimaryCtxRelease"}), std::vector<std::string>{});
#else
    EXPECT_EQ(log_lines(d.log(), {"cuModuleUnload", "cuDevicePrimaryCtxRelease"}),
              (std::vector<std::string>{"cuModuleUnload", "cuDevicePrimaryCtxRelease device=0"}));
    EXPECT_EQ(d.live("modules"), 0);
    EXPECT_EQ(d.live("context_refs"), 0);
    EXPECT_EQ(d.current_depth(), 0);
#endif
}

// A driver that fails while coming up, or cannot take the module's GPU code,
// is not asked again during the module's life and gives no context: no
// stream, no device memory, no upload; every frame takes the CPU route.
TEST(GpuDriver, FailuresWhileComingUp) {
    FakeDriver d;
    const struct {
        const char* entry;
        int nth;
    } points[] = {
        {"cuInit", 1},           {"cuDeviceGet", 1},         {"cuDevicePrimaryCtxRetain", 1},
        {"cuModuleLoadData", 1}, {"cuModuleGetFunction", 1}, {"cuModuleGetFunction", 2},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(std::string(p.entry) + " #" + std::to_string(p.nth));
        d.reset();
        d.fail_call(p.entry, p.nth, 999);
        const int refsBefore = d.live("context_refs"), modulesBefore = d.live("modules");
        {
            RegisteredModule m;
            for (int instance = 0; instance < 2; ++instance) {
                HostInstance in(m.host);
                ASSERT_EQ(in.init(), 0);
                TestFrame src(67, 67, 67 * 4), dst(67, 67, 67 * 4);
                const auto pixels = grid_pattern(67, 67);
                src.fill(pixels);
                ASSERT_EQ(in.start(src, dst), 0);
                EXPECT_EQ(in.fields().gpu, nullptr);
                ASSERT_EQ(in.run(src, dst), 0);
                EXPECT_EQ(dst.packed(), denoise(pixels, 67, 67));
                EXPECT_EQ(in.fields().noiseSigma, 0.0f);
                EXPECT_FALSE(gpu_took(in, 20, 20));
                EXPECT_EQ(in.end(), 0);
            }
            EXPECT_EQ(d.calls("cuInit"), 1);
            for (const char* entry : {"cuStreamCreate", "cuMemAllocPitch_v2", "cuMemcpy2DAsync_v2", "cuLaunchKernel"})
                EXPECT_EQ(d.calls(entry), 0) << entry;
            EXPECT_EQ(d.live("modules"), modulesBefore);
            EXPECT_EQ(d.live("context_refs"), refsBefore);
        }
        EXPECT_EQ(d.live("allocations"), 0);
    }
}

#ifdef _WIN32
// Another plug-in may have loaded an nvcuda.dll of its own, from its own
// folder, before the module brings the driver up. The module takes the one
// in the system folder, and the stranger is never called.
TEST(GpuDriver, APreloadedStrangerIsNeverCalled) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    ASSERT_NE(slash, nullptr);
    ASSERT_LT(static_cast<size_t>(slash - path) + 12, static_cast<size_t>(MAX_PATH));
    wcscpy(slash + 1, L"nvcuda.dll");
    HMODULE plant = LoadLibraryW(path);
    ASSERT_NE(plant, nullptr);
    const auto calls = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(plant, "planted_calls")));
    ASSERT_NE(calls, nullptr) << "the test program's folder holds the real fake, not the plant";

    FakeDriver d;
    {
        RegisteredModule m;
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        TestFrame src(16, 16, 64);
        ASSERT_EQ(in.start(src), 0);
        EXPECT_EQ(d.calls("cuInit"), 1) << "the driver was up before the plant came";
        EXPECT_NE(in.fields().gpu, nullptr);
        EXPECT_TRUE(gpu_took(in, 16, 16));
        EXPECT_EQ(in.end(), 0);
    }
    EXPECT_EQ(calls(), 0);
    FreeLibrary(plant);
}
#endif

}  // namespace
}  // namespace orv::test
