// Frames through the loaded module, against the core's CPU reference, with
// the host's frame layouts and its ways of calling.
#include <gtest/gtest.h>

#include "test_support/memory_failure.h"
#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

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
// a size beyond what lumaPlaneSize holds or a negative one, fails start.
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
}

// Memory that can't be had: start says so, and a frame that needs memory of
// its own (here a new size, so a new plane) goes out exactly as it came in,
// in place too, and is counted; never an unwritten or half-written
// destination. With memory back, the next frame is denoised, and so is a
// copy's, which keeps the noise estimate and has memory of its own.
TEST(ModuleFrames, AFrameWithoutMemoryGoesOutAsItCameIn) {
    using Way = HostInstance::CopyWay;
    RegisteredModule m;
    const int32_t w = 1024, h = 768;
    SplitMix64 rng{6};
    const auto pixels = random_picture(rng, w, h);
    const auto want = denoise(pixels, w, h);
    for (auto [inPlace, way] : {std::pair{false, Way::Proc2}, std::pair{true, Way::Bytes}, std::pair{false, Way::Proc}}) {
        SCOPED_TRACE(inPlace ? "in place" : "apart");
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        TestFrame src(w, h, w * 4), other(w, h, w * 4 + 16), first(16, 8, 64);
        TestFrame& dst = inPlace ? src : other;
        src.fill(pixels);
        other.fill_words(0xDEADBEEF);
        int started, status;
        {
            ModuleAllocationsFail noMemory(loadable_path(module_path()));
            ASSERT_TRUE(noMemory.active());
            started = in.start(src, dst);
            in.end();
            in.start(first, first);
            status = in.run(src, dst);
        }
        EXPECT_EQ(started, 1);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(dst.packed(), pixels);
        EXPECT_TRUE(dst.canaries_intact());
        EXPECT_EQ(in.fields().lastRoute, kRoutePassThrough);

        in.fields().noiseSigma = 1.5f;
        HostInstance copy(m.host, 0x5A);
        copy.copy_from(in, way);
        EXPECT_EQ(copy.fields().noiseSigma, 1.5f);
        TestFrame copySrc(w, h, w * 4), copyDst(w, h, -w * 4);
        copySrc.fill(pixels);
        ASSERT_EQ(copy.start(copySrc, copyDst), 0);
        EXPECT_NE(copy.fields().lumaPlane, in.fields().lumaPlane);
        ASSERT_EQ(copy.run(copySrc, copyDst), 0);
        EXPECT_EQ(copyDst.packed(), flip_rows(want, w, h));
        EXPECT_EQ(copy.fields().lastRoute, kRouteCpu);
        EXPECT_EQ(copy.end(), 0);

        src.fill(pixels);
        ASSERT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(dst.packed(), want);
        EXPECT_EQ(in.fields().lastRoute, kRouteCpu);
        EXPECT_EQ(in.end(), 0);
    }
}

}  // namespace
}  // namespace orv::test
