// Test helpers: frames laid out as in device memory, and one-call runs of the
// two kernels on the emulator, through the by-name launch that a driver uses.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "test_support/emu/orv_cuda_emu.h"

namespace orv::test {

struct KernelSettings {
    int f1 = 70, f2 = 70, sharp = 2, interlace = 0, showNoise = 0;
};

inline int round_up16(int v) { return (v + 15) / 16 * 16; }

// A pitched frame in a buffer large enough for every thread of the launch
// grid to land its write in it: rows and columns up to the next multiple of
// 16, plus margins. Everything but the frame's own pixels is guarded.
struct DeviceFrame {
    int width, height;
    size_t pitch;
    static constexpr size_t kMargin = 256;
    std::vector<uint32_t> storage;

    DeviceFrame(int w, int h, uint32_t fill = 0, uint8_t padding = 0xA7)
        : width(w), height(h), pitch(4 * static_cast<size_t>(round_up16(w)) + 16) {
        storage.resize((2 * kMargin + pitch * static_cast<size_t>(round_up16(h))) / 4);
        std::memset(storage.data(), padding, storage.size() * 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) at(x, y) = fill;
    }
    unsigned char* row0() { return reinterpret_cast<unsigned char*>(storage.data()) + kMargin; }
    uint32_t& at(int x, int y) { return reinterpret_cast<uint32_t*>(row0() + y * pitch)[x]; }

    void load(const std::vector<uint32_t>& pixels) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) at(x, y) = pixels[static_cast<size_t>(y) * width + x];
    }
    std::vector<uint32_t> pixels() {
        std::vector<uint32_t> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) out.push_back(at(x, y));
        return out;
    }
    std::vector<emu::Guard> guards() {
        auto* base = reinterpret_cast<unsigned char*>(storage.data());
        std::vector<emu::Guard> g = emu::frame_guards(row0(), pitch, 4 * static_cast<size_t>(width), height);
        g.push_back({base, kMargin, "before row 0"});
        unsigned char* end = row0() + pitch * height;
        g.push_back({end, static_cast<size_t>(base + storage.size() * 4 - end), "after the last row"});
        return g;
    }
};

// Denoises `pixels` (row after row) with orv_kernel<16,16>; fails the test
// when the emulator saw any thread break a rule.
inline std::vector<uint32_t> run_denoise(const std::vector<uint32_t>& pixels, int w, int h,
                                         const KernelSettings& s = {}) {
    DeviceFrame src(w, h, 0, 0x3C), dst(w, h, 0xDEADBEEF);
    src.load(pixels);
    DenoiseParams params{src.row0(), src.pitch, dst.row0(), dst.pitch, w, h, s.f1, s.f2, s.sharp, s.interlace,
                         s.showNoise};
    emu::Report report;
    const bool ok = emu::launch_by_name(emu::kDenoiseKernelName, emu::denoise_grid(w, h), emu::kBlock,
                                        params.pointers().data(), emu::Checks{dst.guards()}, &report);
    EXPECT_TRUE(ok) << w << "x" << h << ": " << (report.faults.empty() ? "" : report.faults[0].what);
    return dst.pixels();
}

struct Profile {
    unsigned long long sum = 0;
    unsigned int count = 0;
};

inline Profile run_profile(const std::vector<uint32_t>& pixels, int w, int h, Profile start = {}) {
    DeviceFrame src(w, h);
    src.load(pixels);
    Profile p = start;
    ProfileParams params{src.row0(), src.pitch, w, h, &p.sum, &p.count};
    emu::Report report;
    EXPECT_TRUE(emu::launch_by_name(emu::kProfileKernelName, emu::profile_grid(w, h), emu::kBlock,
                                    params.pointers().data(), &report));
    return p;
}

inline std::vector<uint32_t> flat(int w, int h, uint32_t word) {
    return std::vector<uint32_t>(static_cast<size_t>(w) * h, word);
}

// Grey 0x646464 with 0x6D6D6D wherever column and row are both multiples of
// 8: every profile sample is flat and 8 luma steps from its block's mean.
inline std::vector<uint32_t> grid_pattern(int32_t w, int32_t h) {
    std::vector<uint32_t> p(static_cast<size_t>(w) * h, 0x646464);
    for (int32_t y = 0; y < h; y += 8)
        for (int32_t x = 0; x < w; x += 8) p[static_cast<size_t>(y) * w + x] = 0x6D6D6D;
    return p;
}

// What the profile measures of the grid pattern, 67 x 67 or larger.
inline const float kGridSigma = 10.026507f;

}  // namespace orv::test
