// One deterministic batch of frames and settings through the module. The hash
// of every output is fixed here, so the Linux module and the Windows DLL (run
// under Wine) must both produce it, byte for byte.
#include <gtest/gtest.h>

#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

namespace orv::test {
namespace {

constexpr uint64_t kGoldenHash = 0x013ED7589A085698;

uint64_t run_batch() {
    RegisteredModule m;
    SplitMix64 rng{0x0E5C0DE};
    uint64_t hash = kFnvOffset;
    HostInstance in(m.host);
    if (in.init() != 0) return 0;
    for (int k = 0; k < 60; ++k) {
        const int32_t w = rng.range(0, 48), h = rng.range(0, 36);
        // Settings mostly in the dialog's ranges, sometimes anything a script
        // may carry.
        const bool wild = rng.below(6) == 0;
        const Settings s{wild ? rng.range(-300, 5000) : rng.range(0, 100),
                         wild ? rng.range(-300, 5000) : rng.range(0, 100), wild ? rng.range(-40, 40) : rng.range(0, 6),
                         rng.range(0, 1) * (wild ? 7 : 1), rng.below(4) == 0 ? 1 : 0};
        in.config(s.f1, s.f2, s.sharp, s.interlace, rng.range(0, 1));
        in.fields().showNoise = s.showNoise;
        in.fields().disable = rng.below(8) == 0 ? 1 : 0;
        const bool srcNeg = rng.below(2) == 0, dstNeg = rng.below(2) == 0;
        const ptrdiff_t sp = static_cast<ptrdiff_t>(w) * 4 + 4 * rng.range(0, 3);
        const ptrdiff_t dp = static_cast<ptrdiff_t>(w) * 4 + 4 * rng.range(0, 3);
        TestFrame src(w, h, srcNeg ? -sp : sp), dst(w, h, dstNeg ? -dp : dp);
        src.fill(random_picture(rng, w, h));
        // A new start now and then; otherwise the size simply changes.
        if (k == 0 || rng.below(3) == 0) {
            in.end();
            if (in.start(src, dst) != 0) return 0;
        }
        const int32_t status = in.run(src, dst);
        const auto out = dst.packed();
        hash = fnv1a64(hash, &status, sizeof status);
        hash = fnv1a64(hash, out.data(), out.size() * 4);
        if (!dst.canaries_intact()) return 0;
    }
    in.end();
    return hash;
}

TEST(GoldenOutput, BatchHashIsTheSameOnEveryBuild) {
    const uint64_t got = run_batch();
    EXPECT_EQ(got, kGoldenHash) << std::hex << "0x" << got;
}

}  // namespace
}  // namespace orv::test
