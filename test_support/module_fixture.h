// What the module tests share: the module under test, and the picture that
// the core's CPU reference expects for a frame the test host hands over.
#pragma once

#include <cstring>
#include <vector>

#include "test_support/frame_util.h"
#include "test_support/test_host.h"

namespace orv::test {

inline const char* module_path() { return ORV_MODULE_PATH; }

// A registered module, as every test but the registration ones needs it.
struct RegisteredModule {
    ModuleHost host{module_path()};
    RegisteredModule() { host.register_filter(); }
};

// The instance's settings as a script and the editor's check boxes set them.
inline void apply(HostInstance& in, const Settings& s, int disable = 0) {
    in.config(s.f1, s.f2, s.sharp, s.interlace, 1);
    in.fields().showNoise = s.showNoise;
    in.fields().disable = disable;
}

inline std::vector<uint32_t> flip_rows(const std::vector<uint32_t>& p, int32_t w, int32_t h) {
    std::vector<uint32_t> f(p.size());
    if (p.empty()) return f;
    for (int32_t y = 0; y < h; ++y)
        std::memcpy(&f[static_cast<size_t>(h - 1 - y) * w], &p[static_cast<size_t>(y) * w], w * 4u);
    return f;
}

// Rows pair by address: where the two pitches differ in sign, the picture
// arrives upside down, on every route alike.
inline std::vector<uint32_t> expected_output(const std::vector<uint32_t>& src, int32_t w, int32_t h,
                                             const Settings& s, ptrdiff_t srcPitch, ptrdiff_t dstPitch) {
    auto out = denoise(src, w, h, s);
    return (srcPitch < 0) != (dstPitch < 0) ? flip_rows(out, w, h) : out;
}

}  // namespace orv::test
