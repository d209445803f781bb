// The module driven in real hosts' orders on the CPU route: instances copied
// before start, while running and after stop, each copy starting, running
// and ending on its own; frames in place with restarts on every seek, on
// several threads at once.
#include <gtest/gtest.h>

#include "test_support/host_orders.h"
#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

namespace orv::test {
namespace {

TEST(HostOrders, EveryInstanceRunsExactFramesOnItsOwn) {
    const Settings s{60, 85, 3, 0, 0};
    for (const HostOrder& order : host_orders(100)) {
        const int32_t w = order.fullSize ? 1920 : 53, h = order.fullSize ? 1080 : 37;
        SplitMix64 rng{static_cast<uint64_t>(w)};
        const std::vector<uint32_t> pictures[] = {random_picture(rng, w, h), random_picture(rng, w, h)};
        const std::vector<uint32_t> expected[] = {denoise(pictures[0], w, h, s), denoise(pictures[1], w, h, s)};
        play_host_order(
            module_path(), order, w, h,
            [&](HostInstance& in) {
                configure(in, order, s);
                // The CPU route neither reads nor changes the GPU's noise
                // estimate, but a copy must carry it all the same.
                in.fields().noiseSigma = 2.5f;
            },
            [&](int i) -> const std::vector<uint32_t>& { return pictures[i % 2]; },
            [&](int i, float&) { return expected[i % 2]; });
    }
}

}  // namespace
}  // namespace orv::test
