// A driver call that fails at each step of a frame's GPU work in turn. A
// failure in the noise profile keeps noiseSigma and the frame still goes
// through the GPU with settings adapted from the old estimate; a failure in
// the denoise sends the frame to the CPU route, after the profile's update.
// Either way the context serves the next frame, a copy of the instance
// makes its own, and nothing leaks. A frame in place is written only once
// the GPU's whole result is back, so every failure leaves the CPU route the
// untouched frame.
#include <iterator>
#include <thread>

#include "gpu/tests/gpu_route_fixture.h"

namespace orv::test {
namespace {

enum class Outcome {
    GpuUpdated,  // GPU output with the new estimate's settings
    GpuKept,     // GPU output with the old estimate's settings; noiseSigma kept
    CpuUpdated,  // CPU output; noiseSigma took the profile's update
    CpuKept,     // CPU output; noiseSigma kept
};

struct FailurePoint {
    const char* step;
    const char* entry;
    int nth;  // counted over the frame's own calls
    int autoProfile;
    bool newSize;  // the frame's size differs from the one at start
    Outcome outcome;
    int leaked = 0;  // device allocations that the failure leaves behind
    // A second call of the frame that fails, and the call the frame must be
    // said to have left the GPU for, when not `entry`.
    const char* also = nullptr;
    int alsoNth = 0;
    const char* reason = nullptr;
};

constexpr int kStatus = 700;
constexpr int32_t kSize = 67;

const FailurePoint kFramePoints[] = {
    // Profile, then denoise, of a frame the buffers already fit.
    {"profile upload", "cuMemcpy2DAsync_v2", 1, 1, false, Outcome::GpuKept},
    {"zeroing the sum", "cuMemcpyHtoDAsync_v2", 1, 1, false, Outcome::GpuKept},
    {"zeroing the count", "cuMemcpyHtoDAsync_v2", 2, 1, false, Outcome::GpuKept},
    {"profile launch and its last-error check", "cuLaunchKernel", 1, 1, false, Outcome::GpuKept},
    {"reading the sum", "cuMemcpyDtoHAsync_v2", 1, 1, false, Outcome::GpuKept},
    {"reading the count", "cuMemcpyDtoHAsync_v2", 2, 1, false, Outcome::GpuKept},
    {"profile wait", "cuStreamSynchronize", 1, 1, false, Outcome::GpuKept},
    {"context for the profile upload", "cuCtxPushCurrent_v2", 1, 1, false, Outcome::GpuKept},
    {"denoise upload", "cuMemcpy2DAsync_v2", 2, 1, false, Outcome::CpuUpdated},
    {"denoise launch and its last-error check", "cuLaunchKernel", 2, 1, false, Outcome::CpuUpdated},
    {"download", "cuMemcpy2DAsync_v2", 3, 1, false, Outcome::CpuUpdated},
    {"denoise wait", "cuStreamSynchronize", 2, 1, false, Outcome::CpuUpdated},
    {"context back after the download", "cuCtxPopCurrent_v2", 10, 1, false, Outcome::CpuUpdated},
    {"denoise upload, no profile", "cuMemcpy2DAsync_v2", 1, 0, false, Outcome::CpuKept},
    {"denoise launch, no profile", "cuLaunchKernel", 1, 0, false, Outcome::CpuKept},
    {"download, no profile", "cuMemcpy2DAsync_v2", 2, 0, false, Outcome::CpuKept},
    {"denoise wait, no profile", "cuStreamSynchronize", 1, 0, false, Outcome::CpuKept},
    // Re-sizing for a frame of a new size: the profile's sizing fails, and the
    // denoise sizes the buffers again.
    {"first frame buffer", "cuMemAllocPitch_v2", 1, 1, true, Outcome::GpuKept},
    {"second frame buffer", "cuMemAllocPitch_v2", 2, 1, true, Outcome::GpuKept},
    {"sum counter", "cuMemAlloc_v2", 1, 1, true, Outcome::GpuKept},
    {"count counter", "cuMemAlloc_v2", 2, 1, true, Outcome::GpuKept},
    // Statuses that the route ignores; the frame after one of them, on the
    // same thread, names its own failure.
    {"wait before re-sizing", "cuStreamSynchronize", 1, 0, true, Outcome::GpuKept},
    {"freeing an old buffer", "cuMemFree_v2", 2, 0, true, Outcome::GpuKept, 1},
    {"first frame buffer, no profile", "cuMemAllocPitch_v2", 1, 0, true, Outcome::CpuKept},
    {"second frame buffer, no profile", "cuMemAllocPitch_v2", 2, 0, true, Outcome::CpuKept},
    {"sum counter, no profile", "cuMemAlloc_v2", 1, 0, true, Outcome::CpuKept},
    {"count counter, no profile", "cuMemAlloc_v2", 2, 0, true, Outcome::CpuKept},
    // Two failures in one frame: a failed profile is no reason, so the
    // denoise's own failure is named; an ignored status, being the first,
    // is (a driver that failed once fails what follows for the same cause).
    {"profile read, then the download", "cuMemcpyDtoHAsync_v2", 1, 1, false, Outcome::CpuKept, 0,
     "cuMemcpy2DAsync_v2", 3},
    {"wait before re-sizing, then the download", "cuStreamSynchronize", 1, 0, true, Outcome::CpuKept, 0,
     "cuMemcpy2DAsync_v2", 2, "cuStreamSynchronize"},
};

struct Expected {
    std::vector<uint32_t> gpuUpdated, gpuKept, cpu;
};

// The grid pattern with sharp 6: its estimate raises the strengths to 90 and
// caps sharp at 3, so all three outputs differ.
Expected expected_outputs(const std::vector<uint32_t>& pixels) {
    return Expected{run_denoise(pixels, kSize, kSize, {90, 90, 3, 0, 0}),
                    run_denoise(pixels, kSize, kSize, {70, 70, 6, 0, 0}),
                    denoise(pixels, kSize, kSize, Settings{70, 70, 6, 0, 0})};
}

// A flat grey frame, which only the GPU route gives back unchanged.
bool runs_on_the_gpu(HostInstance& in) {
    TestFrame src(kSize, kSize, kSize * 4), dst(kSize, kSize, kSize * 4);
    src.fill_words(0x808080);
    return in.run(src, dst) == 0 && dst.packed() == std::vector<uint32_t>(kSize * kSize, 0x808080) &&
           in.fields().gpuDeclineCall == nullptr;
}

// After any failure, the next frame goes through the GPU again, and so does
// a copy of the instance, which keeps its noise estimate and makes a context
// of its own.
void expect_context_serves_next_frame(ModuleHost& host, HostInstance& in, FakeDriver& d, const FailurePoint& p,
                                      int before, HostInstance::CopyWay way) {
    HostInstance copy(host, 0x5A);
    copy.copy_from(in, way);
    EXPECT_EQ(copy.fields().noiseSigma, in.fields().noiseSigma);
    TestFrame frame(kSize, kSize, kSize * 4);
    ASSERT_EQ(copy.start(frame), 0);
    ASSERT_NE(copy.fields().gpu, nullptr);
    EXPECT_NE(copy.fields().gpu, in.fields().gpu);
    EXPECT_TRUE(runs_on_the_gpu(copy)) << "copy after: " << p.step;
    EXPECT_EQ(copy.end(), 0);

    EXPECT_TRUE(runs_on_the_gpu(in)) << "frame after: " << p.step;
    // The instance's context, and the copy's, idle since its end.
    EXPECT_EQ(d.live("allocations"), before + 8 + p.leaked) << p.step;
    EXPECT_EQ(d.current_depth(), 0) << p.step;
}

TEST(GpuFailure, EachStepOfAFrame) {
    GpuModule g;
    FakeDriver& d = g.driver;
    const auto pixels = grid_pattern(kSize, kSize);
    const Expected want = expected_outputs(pixels);
    ASSERT_NE(want.gpuUpdated, want.gpuKept);
    ASSERT_NE(want.gpuKept, want.cpu);
    ASSERT_NE(want.gpuUpdated, want.cpu);

    const HostInstance::CopyWay ways[] = {HostInstance::CopyWay::Proc2, HostInstance::CopyWay::Bytes,
                                          HostInstance::CopyWay::Proc};
    int copies = 0;
    for (const FailurePoint& p : kFramePoints) {
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(std::string(p.step) + (inPlace ? ", in place" : ""));
            const int before = d.live("allocations");
            HostInstance in(g.m.host);
            ASSERT_EQ(in.init(), 0);
            in.config(70, 70, 6, 0, 1);
            in.fields().autoProfile = p.autoProfile;
            const int32_t startWidth = p.newSize ? 40 : kSize, startHeight = p.newSize ? 30 : kSize;
            TestFrame startFrame(startWidth, startHeight, startWidth * 4);
            ASSERT_EQ(in.start(startFrame), 0);
            ASSERT_NE(in.fields().gpu, nullptr);

            TestFrame src(kSize, kSize, kSize * 4), apart(kSize, kSize, -kSize * 4);
            TestFrame& dst = inPlace ? src : apart;
            src.fill(pixels);
            d.reset();
            d.fail_call(p.entry, p.nth, kStatus);
            if (p.also != nullptr) d.fail_call(p.also, p.alsoNth, kStatus);
            // On the thread that ran every frame before, so that nothing a
            // frame leaves on its thread decides the next; but a context that
            // failed to come off the thread stays current there, so that one
            // runs on a thread of its own, which takes the context with it.
            const bool popFails = std::string(p.entry) == "cuCtxPopCurrent_v2";
            int result = -1, depthAfter = -1;
            const auto frame = [&] {
                result = in.run(src, dst);
                depthAfter = d.current_depth();
            };
            if (popFails)
                std::thread(frame).join();
            else
                frame();
            ASSERT_EQ(result, 0);
            EXPECT_EQ(depthAfter, popFails ? 1 : 0);
            const std::string log = d.log();
            size_t planned = 0;
            for (size_t at = 0; (at = log.find(" -> 700 (planned)", at)) != std::string::npos; ++at) ++planned;
            ASSERT_EQ(planned, p.also != nullptr ? 2u : 1u) << "the failures did not all come:\n" << log;

            const bool updated = p.outcome == Outcome::GpuUpdated || p.outcome == Outcome::CpuUpdated;
            const std::vector<uint32_t>& out = p.outcome == Outcome::GpuUpdated ? want.gpuUpdated
                                               : p.outcome == Outcome::GpuKept  ? want.gpuKept
                                                                                : want.cpu;
            EXPECT_EQ(dst.packed(), inPlace ? out : flip_rows(out, kSize, kSize));
            EXPECT_TRUE(dst.canaries_intact());
            EXPECT_EQ(in.fields().noiseSigma, updated ? kGridSigma : 0.0f);
            // A frame the GPU left to the CPU names the call that failed.
            const char* call = in.fields().gpuDeclineCall;
            if (p.outcome == Outcome::CpuUpdated || p.outcome == Outcome::CpuKept) {
                ASSERT_NE(call, nullptr);
                const std::string reason = p.reason ? p.reason : p.also ? p.also : p.entry;
                EXPECT_EQ(reason.rfind(call, 0), 0u) << call;
                EXPECT_EQ(in.fields().gpuDeclineStatus, kStatus);
            } else {
                EXPECT_EQ(call, nullptr);
            }
            EXPECT_EQ(in.fields().f1, 70);
            EXPECT_EQ(in.fields().sharp, 6);

            d.reset();
            expect_context_serves_next_frame(g.m.host, in, d, p, before, ways[copies++ % std::size(ways)]);
            EXPECT_EQ(in.end(), 0);
            give_back_idle_contexts(g.m);
            EXPECT_EQ(d.live("allocations"), before + p.leaked);
            EXPECT_EQ(d.live("streams"), 0);
            EXPECT_EQ(d.faults(), 0);
        }
    }
}

// Failures while an instance starts: without a stream there is no context,
// and every frame takes the CPU route until the next start; buffers that
// could not be made at start are made by the first frame.
TEST(GpuFailure, AtStart) {
    GpuModule g;
    FakeDriver& d = g.driver;
    // What earlier tests left behind: on Windows the module keeps the driver's
    // context to the process's end, and with it their leaks.
    const int leftOver = d.live("allocations");
    const auto pixels = grid_pattern(kSize, kSize);
    const Expected want = expected_outputs(pixels);
    const struct {
        const char* step;
        const char* entry;
        int nth;
        bool hasContext;
    } points[] = {
        {"stream creation", "cuStreamCreate", 1, false},
        {"context for the stream creation", "cuCtxPushCurrent_v2", 1, false},
        {"first frame buffer", "cuMemAllocPitch_v2", 1, true},
        {"second frame buffer", "cuMemAllocPitch_v2", 2, true},
        {"sum counter", "cuMemAlloc_v2", 1, true},
        {"count counter", "cuMemAlloc_v2", 2, true},
    };
    {  // the driver comes up at the first instance's start
        HostInstance first(g.m.host);
        ASSERT_EQ(first.init(), 0);
        TestFrame frame(8, 8, 32);
        ASSERT_EQ(first.start(frame), 0);
        ASSERT_NE(first.fields().gpu, nullptr);
        ASSERT_EQ(first.end(), 0);
    }
    give_back_idle_contexts(g.m);
    for (const auto& p : points) {
        SCOPED_TRACE(p.step);
        HostInstance in(g.m.host);
        ASSERT_EQ(in.init(), 0);
        in.config(70, 70, 6, 0, 1);
        TestFrame src(kSize, kSize, kSize * 4), dst(kSize, kSize, kSize * 4);
        src.fill(pixels);
        d.reset();
        d.fail_call(p.entry, p.nth, kStatus);
        ASSERT_EQ(in.start(src, dst), 0);
        EXPECT_EQ(in.fields().gpu != nullptr, p.hasContext);
        EXPECT_EQ(d.live("allocations") - leftOver, 0);

        ASSERT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(dst.packed(), p.hasContext ? want.gpuUpdated : want.cpu);
        EXPECT_EQ(in.fields().noiseSigma, p.hasContext ? kGridSigma : 0.0f);
        EXPECT_EQ(d.live("allocations") - leftOver, p.hasContext ? 4 : 0);
        EXPECT_EQ(in.end(), 0);
        give_back_idle_contexts(g.m);
        EXPECT_EQ(d.live("streams"), 0);
        EXPECT_EQ(d.live("allocations") - leftOver, 0);
    }
}

}  // namespace
}  // namespace orv::test
