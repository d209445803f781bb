// Frames through the loaded module, against the core's CPU reference, with
// the host's frame layouts and its ways of calling.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

#if defined(__linux__) && !defined(ORV_SANITIZE)
#include <sys/resource.h>
#include <unistd.h>
#define ORV_CAN_LIMIT_MEMORY 1
#endif

namespace orv::test {
namespace {

struct PitchCase {
    ptrdiff_t srcExtra, dstExtra;  // bytes past the row
    bool srcNegative, dstNegative;
};

// Negative pitch on the source, the destination and both, and destination
// rows wider than the picture whose padding must stay as it was.
const PitchCase kPitches[] = {
    {0, 0, false, false},  {0, 0, true, false},   {0, 0, false, true},  {0, 0, true, true},
    {0, 20, false, false}, {12, 36, true, false}, {4, 8, false, true},  {28, 4, true, true},
};

TEST(ModuleFrames, EqualTheCoreReferenceForEveryPitch) {
    RegisteredModule m;
    SplitMix64 rng{1};
    for (const PitchCase& pc : kPitches) {
        for (int round = 0; round < 4; ++round) {
            const int32_t w = rng.range(1, 37), h = rng.range(1, 23);
            const Settings s{rng.range(0, 100), rng.range(0, 100), rng.range(0, 6), rng.range(0, 1),
                             rng.below(4) == 0 ? 1 : 0};
            const auto pixels = random_picture(rng, w, h);
            TestFrame src(w, h, pitch_of(w, pc.srcExtra, pc.srcNegative));
            TestFrame dst(w, h, pitch_of(w, pc.dstExtra, pc.dstNegative));
            src.fill(pixels);
            const auto srcBefore = src.memory();

            HostInstance in(m.host);
            ASSERT_EQ(in.init(), 0);
            apply(in, s);
            ASSERT_EQ(in.start(src, dst), 0);
            ASSERT_EQ(in.run(src, dst), 0);
            EXPECT_EQ(dst.packed(), expected_output(pixels, w, h, s, src.pitch(), dst.pitch()))
                << w << "x" << h << " pitches " << src.pitch() << " " << dst.pitch();
            EXPECT_TRUE(dst.canaries_intact()) << "pitches " << src.pitch() << " " << dst.pitch();
            EXPECT_EQ(src.memory(), srcBefore);
            EXPECT_EQ(in.end(), 0);
        }
    }
}

TEST(ModuleFrames, DisableCopiesEveryByteOfThePicture) {
    RegisteredModule m;
    SplitMix64 rng{2};
    for (const PitchCase& pc : kPitches) {
        const int32_t w = rng.range(1, 19), h = rng.range(1, 13);
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        for (auto& p : pixels) p = static_cast<uint32_t>(rng.next());  // top bytes too
        TestFrame src(w, h, pitch_of(w, pc.srcExtra, pc.srcNegative));
        TestFrame dst(w, h, pitch_of(w, pc.dstExtra, pc.dstNegative));
        src.fill(pixels);

        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        in.fields().disable = 1;
        in.fields().showNoise = 1;  // pass-through wins over the noise display
        ASSERT_EQ(in.start(src, dst), 0);
        uint8_t* const plane = in.fields().lumaPlane;
        ASSERT_EQ(in.run(src, dst), 0);
        const auto want = (src.pitch() < 0) != (dst.pitch() < 0) ? flip_rows(pixels, w, h) : pixels;
        EXPECT_EQ(dst.packed(), want);
        EXPECT_TRUE(dst.canaries_intact());
        EXPECT_EQ(in.fields().lumaPlane, plane);
        EXPECT_EQ(in.fields().noiseSigma, 0.0f);
        EXPECT_EQ(in.end(), 0);
    }
}

// An empty frame is not a failure: a plane of 0 bytes, no pixels copied.
TEST(ModuleFrames, EmptyFrames) {
    RegisteredModule m;
    const struct {
        int32_t w, h;
        int disable;
    } cases[] = {{0, 5, 0}, {5, 0, 0}, {0, 0, 0}, {0, 5, 1}, {5, 0, 1}};
    for (const auto& c : cases) {
        TestFrame src(c.w, c.h, 32), dst(c.w, c.h, 32);
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        in.fields().disable = c.disable;
        EXPECT_EQ(in.start(src, dst), 0) << c.w << "x" << c.h;
        EXPECT_EQ(in.run(src, dst), 0) << c.w << "x" << c.h;
        EXPECT_TRUE(dst.canaries_intact());
        EXPECT_TRUE(src.canaries_intact());
        EXPECT_EQ(in.end(), 0);
    }
}

TEST(ModuleFrames, StartEndAndStartAgainWithANewSize) {
    RegisteredModule m;
    SplitMix64 rng{3};
    HostInstance in(m.host);
    ASSERT_EQ(in.init(), 0);
    const Settings s{};
    for (auto [w, h] : {std::pair{8, 6}, std::pair{33, 21}, std::pair{5, 3}}) {
        const auto pixels = random_picture(rng, w, h);
        TestFrame src(w, h, -w * 4 - 8), dst(w, h, w * 4);
        src.fill(pixels);
        ASSERT_EQ(in.start(src, dst), 0);
        EXPECT_EQ(in.fields().lumaPlaneSize, w * h);
        ASSERT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(dst.packed(), expected_output(pixels, w, h, s, src.pitch(), dst.pitch())) << w << "x" << h;
        EXPECT_TRUE(dst.canaries_intact());
        EXPECT_EQ(in.end(), 0);
        EXPECT_EQ(in.fields().lumaPlane, nullptr);
    }
}

// A host that changes the frame size without a new start still gets every
// frame denoised at its own size, and the plane is never overrun.
TEST(ModuleFrames, SizeChangeBetweenFrames) {
    RegisteredModule m;
    SplitMix64 rng{4};
    HostInstance in(m.host);
    ASSERT_EQ(in.init(), 0);
    const Settings s{40, 90, 5, 1, 0};
    apply(in, s);
    TestFrame first(6, 4, 24);
    ASSERT_EQ(in.start(first), 0);
    for (auto [w, h] : {std::pair{6, 4}, std::pair{40, 30}, std::pair{2, 9}, std::pair{40, 30}, std::pair{0, 3},
                        std::pair{7, 7}}) {
        const auto pixels = random_picture(rng, w, h);
        TestFrame src(w, h, w * 4 + 4), dst(w, h, -(w * 4) - 12);
        src.fill(pixels);
        ASSERT_EQ(in.run(src, dst), 0) << w << "x" << h;
        EXPECT_EQ(dst.packed(), expected_output(pixels, w, h, s, src.pitch(), dst.pitch())) << w << "x" << h;
        EXPECT_TRUE(dst.canaries_intact());
    }
    EXPECT_EQ(in.end(), 0);
}

// A host that filters in place hands one buffer as source and destination.
TEST(ModuleFrames, SourceAndDestinationMayBeOneBuffer) {
    RegisteredModule m;
    SplitMix64 rng{8};
    for (ptrdiff_t sign : {1, -1}) {
        const int32_t w = 12, h = 10;
        const auto pixels = random_picture(rng, w, h);
        TestFrame frame(w, h, sign * (w * 4 + 8));
        frame.fill(pixels);
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        ASSERT_EQ(in.start(frame, frame), 0);
        ASSERT_EQ(in.run(frame, frame), 0);
        EXPECT_EQ(frame.packed(), denoise(pixels, w, h)) << "pitch " << frame.pitch();
        EXPECT_TRUE(frame.canaries_intact());
        EXPECT_EQ(in.end(), 0);
    }
}

// Instances share nothing: two with different settings, their calls
// interleaved, the second made as the host makes copies (from the first
// one's bytes) before it is configured.
TEST(ModuleFrames, TwoInstancesInterleaved) {
    RegisteredModule m;
    SplitMix64 rng{5};
    HostInstance a(m.host, 0x11);
    ASSERT_EQ(a.init(), 0);
    const Settings sa{20, 90, 4, 1, 1};
    apply(a, sa);
    HostInstance b(m.host, 0x77);
    b.copy_from(a);
    const Settings sb{100, 5, 0, 0, 0};
    apply(b, sb);

    TestFrame aFirst(16, 12, 64), bFirst(9, 30, 36);
    ASSERT_EQ(a.start(aFirst), 0);
    ASSERT_EQ(b.start(bFirst), 0);
    for (int k = 0; k < 3; ++k) {
        for (auto [in, s, w, h] : {std::tuple{&a, sa, 16, 12}, std::tuple{&b, sb, 9, 30}}) {
            const auto pixels = random_picture(rng, w, h);
            TestFrame src(w, h, -w * 4), dst(w, h, -w * 4 - 4);
            src.fill(pixels);
            ASSERT_EQ(in->run(src, dst), 0);
            EXPECT_EQ(dst.packed(), expected_output(pixels, w, h, s, src.pitch(), dst.pitch()))
                << (in == &a ? "first" : "second") << " instance, frame " << k;
        }
        if (k == 1) {  // the second instance restarts while the first runs on
            EXPECT_EQ(b.end(), 0);
            ASSERT_EQ(b.start(bFirst), 0);
        }
    }
    EXPECT_EQ(a.script_string(), "Config(20,90,4,1,1)");
    EXPECT_EQ(b.script_string(), "Config(100,5,0,0,1)");
    EXPECT_EQ(a.end(), 0);
    EXPECT_EQ(b.end(), 0);
}

// Sizes are products of two 32-bit values. A plane that can't be made, for
// a size beyond what lumaPlaneSize holds or a negative one, fails start; a
// frame of such a size in run leaves the destination alone and says so.
TEST(ModuleFrames, SizesBeyondThePlaneAreRefused) {
    RegisteredModule m;
    HostInstance in(m.host);
    ASSERT_EQ(in.init(), 0);
    const struct {
        int32_t w, h;
    } sizes[] = {{65536, 65536}, {46341, 46341}, {INT32_MAX, 2}, {-1, 5}, {5, -1}};
    for (const auto& sz : sizes) {
        TestFrame src(1, 1, 4), dst(2, 2, 8);
        src.bitmap().w = sz.w;
        src.bitmap().h = sz.h;
        EXPECT_EQ(in.start(src, dst), 1) << sz.w << "x" << sz.h;
        EXPECT_EQ(in.end(), 0);
    }
    TestFrame small(3, 3, 12), dst(2, 2, 8);
    ASSERT_EQ(in.start(small, dst), 0);
    for (auto [w, h] : {std::pair{65536, 65536}, std::pair{46341, 46341}}) {
        TestFrame src(1, 1, 4);
        src.bitmap().w = w;
        src.bitmap().h = h;
        const auto before = dst.memory();
        EXPECT_NE(in.run(src, dst), 0) << w << "x" << h;
        EXPECT_EQ(dst.memory(), before);
    }
    EXPECT_EQ(in.end(), 0);
}

#ifdef ORV_CAN_LIMIT_MEMORY
// Memory running out inside a frame: the frame is either denoised exactly or,
// when the route can't get what it needs, run reports it and the destination
// keeps every byte; never a half-written frame. The next frame, with memory
// back, is denoised as usual. Runs in a child process whose address space is
// capped just above what the frames already hold.
long mapped_bytes() {
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return pages * sysconf(_SC_PAGESIZE);
}

void run_with_memory_short(long headroom) {
    RegisteredModule m;
    HostInstance in(m.host);
    if (in.init() != 0) std::_Exit(2);
    const int32_t w = 2048, h = 2048;  // each scratch frame: 16 MiB
    SplitMix64 rng{6};
    const auto pixels = random_picture(rng, w, h);
    TestFrame src(w, h, -w * 4), dst(w, h, w * 4 + 16);
    src.fill(pixels);
    if (in.start(src, dst) != 0) std::_Exit(3);
    const auto before = dst.memory();
    const auto want = expected_output(pixels, w, h, Settings{}, src.pitch(), dst.pitch());

    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
    rlimit cap = old;
    cap.rlim_cur = static_cast<rlim_t>(mapped_bytes() + headroom);
    if (setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(4);
    const int status = in.run(src, dst);
    setrlimit(RLIMIT_AS, &old);
    const bool untouched = dst.memory() == before;
    const bool denoised = dst.packed() == want && dst.canaries_intact();
    if (status == 0 && !denoised) std::_Exit(5);
    if (status != 0 && !untouched) std::_Exit(6);

    if (in.run(src, dst) != 0) std::_Exit(7);
    if (dst.packed() != want || !dst.canaries_intact()) std::_Exit(8);
    in.end();
    std::_Exit(0);
}

TEST(ModuleFrames, MemoryRunningOutNeverLeavesAHalfWrittenFrame) {
    GTEST_FLAG_SET(death_test_style, "fast");
    // Room for one full-frame buffer, for a few rows, and for nothing at all.
    for (long headroom : {24l << 20, 256l << 10, 0l})
        EXPECT_EXIT(run_with_memory_short(headroom), ::testing::ExitedWithCode(0), "") << headroom;
}
#endif

}  // namespace
}  // namespace orv::test
