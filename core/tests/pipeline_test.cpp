#include <gtest/gtest.h>

#include <cstring>

#include "core/pipeline.h"
#include "core/settings.h"
#include "core/tests/frame_util.h"
#include "host/vd_interface.h"

namespace orv {
namespace {

// A host frame laid out in a buffer with a chosen pitch, canary bytes before,
// after and between the rows.
struct HostFrame {
    std::vector<uint8_t> mem;
    VFBitmap bmp{};
    static constexpr uint8_t kCanary = 0xC3;
    HostFrame(int32_t w, int32_t h, ptrdiff_t pitch) {
        const ptrdiff_t ap = pitch < 0 ? -pitch : pitch;
        const size_t rows = h > 0 ? static_cast<size_t>(h) : 1;
        mem.assign(64 + rows * static_cast<size_t>(ap) + 64, kCanary);
        uint8_t* lowest = mem.data() + 64;
        bmp.w = w;
        bmp.h = h;
        bmp.pitch = pitch;
        bmp.data = reinterpret_cast<uint32_t*>(pitch >= 0 || h <= 0 ? lowest : lowest + (h - 1) * ap);
    }
    uint32_t* row(int32_t k) { return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bmp.data) + k * bmp.pitch); }
    void fill(const std::vector<uint32_t>& packed) {
        for (int32_t k = 0; k < bmp.h; ++k) std::memcpy(row(k), &packed[static_cast<size_t>(k) * bmp.w], bmp.w * 4u);
    }
    std::vector<uint32_t> packed() {
        std::vector<uint32_t> p(static_cast<size_t>(bmp.w) * bmp.h);
        for (int32_t k = 0; k < bmp.h; ++k) std::memcpy(&p[static_cast<size_t>(k) * bmp.w], row(k), bmp.w * 4u);
        return p;
    }
    // Every byte outside the h rows of w pixels still holds the canary.
    bool canaries_intact() {
        std::vector<bool> inside(mem.size(), false);
        for (int32_t k = 0; k < bmp.h; ++k) {
            const size_t off = reinterpret_cast<uint8_t*>(row(k)) - mem.data();
            for (size_t b = 0; b < static_cast<size_t>(bmp.w) * 4; ++b) inside[off + b] = true;
        }
        for (size_t i = 0; i < mem.size(); ++i)
            if (!inside[i] && mem[i] != kCanary) return false;
        return true;
    }
};

struct Instance {
    FilterInstance fi;
    FilterActivation fa{};
    Instance() {
        std::memset(&fi, 0x5A, sizeof fi);
        init_instance(fi, 4);
        fa.filter_data = &fi;
    }
    int run(HostFrame& src, HostFrame& dst) {
        fa.src = &src.bmp;
        fa.dst = &dst.bmp;
        return runProc(&fa, nullptr);
    }
    int start(HostFrame& src) {
        fa.src = &src.bmp;
        return startProc(&fa, nullptr);
    }
};

TEST(Pipeline, PitchesAndPadding) {
    std::mt19937 rng(1);
    const int32_t w = 9, h = 7;
    const struct {
        ptrdiff_t sp, dp;
    } rows[] = {{36, 36}, {-36, 36}, {36, -36}, {-36, -36}, {52, 100}, {-44, -60}};
    for (const auto& r : rows) {
        const auto pixels = test::noisy_frame(rng, w, h);
        HostFrame src(w, h, r.sp), dst(w, h, r.dp);
        src.fill(pixels);
        Instance in;
        ASSERT_EQ(in.start(src), 0);
        ASSERT_EQ(in.run(src, dst), 0);
        // Rows pair by address: with opposite pitch signs the picture turns over.
        auto expect = test::denoise(pixels, w, h);
        if ((r.sp < 0) != (r.dp < 0)) {
            std::vector<uint32_t> flipped(expect.size());
            for (int y = 0; y < h; ++y)
                std::memcpy(&flipped[(h - 1 - y) * w], &expect[y * w], w * 4u);
            expect = flipped;
        }
        EXPECT_EQ(dst.packed(), expect) << r.sp << " " << r.dp;
        EXPECT_TRUE(dst.canaries_intact());
        EXPECT_TRUE(src.canaries_intact());
        EXPECT_EQ(endProc(&in.fa, nullptr), 0);
        EXPECT_EQ(in.fi.lumaPlane, nullptr);
    }
}

TEST(Pipeline, DisableCopiesWholeWords) {
    std::mt19937 rng(2);
    const auto pixels = test::random_frame(rng, 5, 4, 0xFF000000);
    HostFrame src(5, 4, -24), dst(5, 4, 28);
    src.fill(pixels);
    Instance in;
    in.fi.disable = 1;
    ASSERT_EQ(in.start(src), 0);
    ASSERT_EQ(in.run(src, dst), 0);
    auto got = dst.packed();
    std::vector<uint32_t> flipped(got.size());
    for (int y = 0; y < 4; ++y) std::memcpy(&flipped[(3 - y) * 5], &got[y * 5], 20);
    EXPECT_EQ(flipped, pixels);
    EXPECT_TRUE(dst.canaries_intact());
    EXPECT_EQ(in.fi.noiseSigma, 0.0f);
    endProc(&in.fa, nullptr);
}

TEST(Pipeline, EmptyFrames) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        HostFrame src(w, h, 32), dst(w, h, 32);
        Instance in;
        EXPECT_EQ(in.start(src), 0);
        EXPECT_EQ(in.run(src, dst), 0);
        EXPECT_TRUE(dst.canaries_intact());
        EXPECT_EQ(endProc(&in.fa, nullptr), 0);
    }
}

TEST(Pipeline, PlaneThatCannotBeMadeFailsStart) {
    HostFrame src(1, 1, 4);
    src.bmp.w = 65536;
    src.bmp.h = 65536;  // 2^32 bytes: more than the plane's size field holds
    Instance in;
    EXPECT_EQ(in.start(src), 1);
    src.bmp.w = -1;
    EXPECT_EQ(in.start(src), 1);
}

// Hosts change the frame size between runs, and a careless one mid-run: every
// frame is still denoised as a frame of its own size.
TEST(Pipeline, SizeChangesAreFollowed) {
    std::mt19937 rng(4);
    Instance in;
    HostFrame first(8, 8, 32);
    ASSERT_EQ(in.start(first), 0);
    for (auto [w, h] : {std::pair{8, 8}, std::pair{30, 20}, std::pair{3, 2}, std::pair{30, 20}}) {
        const auto pixels = test::noisy_frame(rng, w, h);
        HostFrame src(w, h, w * 4), dst(w, h, w * 4 + 8);
        src.fill(pixels);
        ASSERT_EQ(in.run(src, dst), 0);
        EXPECT_EQ(dst.packed(), test::denoise(pixels, w, h)) << w << "x" << h;
        EXPECT_TRUE(dst.canaries_intact());
    }
    EXPECT_EQ(endProc(&in.fa, nullptr), 0);
    HostFrame again(4, 3, 16);
    ASSERT_EQ(in.start(again), 0);
    EXPECT_EQ(in.fi.lumaPlaneSize, 12);
    EXPECT_EQ(endProc(&in.fa, nullptr), 0);
}

TEST(Pipeline, SourceAndDestinationMayBeOneBuffer) {
    std::mt19937 rng(6);
    const auto pixels = test::noisy_frame(rng, 12, 10);
    HostFrame frame(12, 10, -64);
    frame.fill(pixels);
    Instance in;
    ASSERT_EQ(in.start(frame), 0);
    ASSERT_EQ(in.run(frame, frame), 0);
    EXPECT_EQ(frame.packed(), test::denoise(pixels, 12, 10));
    EXPECT_TRUE(frame.canaries_intact());
    endProc(&in.fa, nullptr);
}

}  // namespace
}  // namespace orv
