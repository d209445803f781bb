// The module driven in real hosts' orders on the CPU route: instances copied
// before start, while running and after stop, each copy starting, running
// and ending on its own.
#include <gtest/gtest.h>

#include <map>

#include "test_support/host_orders.h"
#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

namespace orv::test {
namespace {

TEST(HostOrders, EveryCopyRunsExactFramesOnItsOwn) {
    const Settings s{60, 85, 3, 0, 0};
    for (const HostOrder& order : virtualdub_orders(100)) {
        const int32_t w = order.fullSize ? 1920 : 53, h = order.fullSize ? 1080 : 37;
        SplitMix64 rng{static_cast<uint64_t>(w)};
        const std::vector<uint32_t> pictures[] = {random_picture(rng, w, h), random_picture(rng, w, h)};
        std::map<int, std::vector<uint32_t>> expected;
        play_host_order(
            module_path(), order, w, h, [&](HostInstance& in) { apply(in, s); },
            [&](int i) -> const std::vector<uint32_t>& { return pictures[i % 2]; },
            [&](int i, float&) {
                auto [it, made] = expected.try_emplace(i % 2);
                if (made) it->second = denoise(pictures[i % 2], w, h, s);
                return it->second;
            });
    }
}

}  // namespace
}  // namespace orv::test
