// What the tests of the GPU route share: the module under test with the fake
// driver beside it, and the frames that the GPU route must write, worked out
// on the kernel emulator.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gpu/noise_profile.h"
#include "gpu/noise_rules.h"
#include "test_support/fake_cuda/fake_driver.h"
#include "gpu/tests/kernel_runs.h"
#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

namespace orv::test {

// The fake is opened before the module and outlives it.
struct GpuModule {
    FakeDriver driver;
    RegisteredModule m;
};

// Ends leave contexts idle for the next start, which the module's deinit
// entry frees: a test that counts device memory, or needs the next start to
// make a context, hands them back as a host unloading the module would.
inline void give_back_idle_contexts(RegisteredModule& m) {
    m.host.deregister();
    m.host.register_filter();
}

// The kernel sees a host frame's rows in address order, from the lowest one
// up, and the result goes back the same way.
inline std::vector<uint32_t> address_order(const std::vector<uint32_t>& p, int32_t w, int32_t h, ptrdiff_t pitch) {
    return pitch < 0 ? flip_rows(p, w, h) : p;
}

inline std::vector<uint32_t> gpu_output(const std::vector<uint32_t>& pixels, int32_t w, int32_t h,
                                        const KernelSettings& k, ptrdiff_t srcPitch, ptrdiff_t dstPitch) {
    const auto out = run_denoise(address_order(pixels, w, h, srcPitch), w, h, k);
    return address_order(out, w, h, dstPitch);
}

inline float gpu_sigma(const std::vector<uint32_t>& pixels, int32_t w, int32_t h, ptrdiff_t srcPitch) {
    const Profile p = run_profile(address_order(pixels, w, h, srcPitch), w, h);
    return noise_sigma_from(p.sum, p.count);
}

inline KernelSettings kernel_settings(const AdaptedSettings& a, const Settings& s) {
    return KernelSettings{a.f1, a.f2, a.sharp, s.interlace, s.showNoise != 0 ? 1 : 0};
}

// What the GPU route must write for a frame of `pixels`. noiseSigma is the
// instance's estimate before the frame, and becomes the one it must hold after.
inline std::vector<uint32_t> expected_gpu_frame(const std::vector<uint32_t>& pixels, int32_t w, int32_t h,
                                                const Settings& s, int autoProfile, ptrdiff_t srcPitch,
                                                ptrdiff_t dstPitch, float& noiseSigma) {
    AdaptedSettings a{s.f1, s.f2, s.sharp};
    if (autoProfile) {
        noiseSigma = smoothing_rule(noiseSigma, gpu_sigma(pixels, w, h, srcPitch));
        a = adaptation_rule(noiseSigma, s.f1, s.f2, s.sharp);
    }
    return gpu_output(pixels, w, h, kernel_settings(a, s), srcPitch, dstPitch);
}

// The log lines of the entries named, in order.
inline std::vector<std::string> log_lines(const std::string& log, const std::vector<std::string>& entries) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < log.size()) {
        size_t end = log.find('\n', pos);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(pos, end - pos);
        for (const auto& e : entries)
            if (line.compare(0, e.size(), e) == 0 && (line.size() == e.size() || line[e.size()] == ' ')) {
                out.push_back(line);
                break;
            }
        pos = end + 1;
    }
    return out;
}

}  // namespace orv::test
