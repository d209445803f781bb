// The GPU route in real hosts' orders, on the fake driver: every copy makes
// its own context (a copy by bytes included), carries its original's noise
// estimate, and ending either leaves the other's context whole; frames in
// place come back from the GPU as frames with separate buffers do.
#include "gpu/tests/gpu_route_fixture.h"
#include "test_support/host_orders.h"

namespace orv::test {
namespace {

// The emulator takes seconds over a 1920x1080 frame: the long run is 100
// frames of 160x90.
constexpr int kLongRun = 100;

TEST(GpuHostOrders, EveryInstanceRunsExactFramesOnItsOwnContext) {
    FakeDriver driver;
    const Settings s{60, 85, 3, 0, 0};
    for (const HostOrder& order : host_orders(kLongRun)) {
        // The long run and the lanes take the profile out of the picture:
        // each of the two pictures then has one expected frame.
        const int autoProfile = order.fullSize || order.lanes > 1 ? 0 : 1;
        const int32_t w = order.fullSize ? 160 : 77, h = order.fullSize ? 90 : 69;
        SplitMix64 rng{static_cast<uint64_t>(w)};
        const std::vector<uint32_t> pictures[] = {random_picture(rng, w, h), random_picture(rng, w, h)};
        float none = 0.0f;
        const std::vector<uint32_t> fixed[] = {expected_gpu_frame(pictures[0], w, h, s, 0, w * 4, w * 4 + 16, none),
                                               expected_gpu_frame(pictures[1], w, h, s, 0, w * 4, w * 4 + 16, none)};
        const int streamsBefore = driver.calls("cuStreamCreate");
        play_host_order(
            module_path(), order, w, h,
            [&](HostInstance& in) {
                configure(in, order, s);
                in.fields().autoProfile = autoProfile;
            },
            [&](int i) -> const std::vector<uint32_t>& { return pictures[i % 2]; },
            [&](int i, float& sigma) {
                if (autoProfile == 0) return fixed[i % 2];
                return expected_gpu_frame(pictures[i % 2], w, h, s, 1, w * 4, w * 4 + 16, sigma);
            });
        EXPECT_EQ(driver.live("allocations"), 0) << order.name;
        EXPECT_EQ(driver.live("streams"), 0) << order.name;
        EXPECT_EQ(driver.faults(), 0) << order.name;
        // A context of its own for every start, copies by bytes included.
        int starts = 0;
        for (const OrderStep& st : order.steps) starts += st.op == OrderStep::Start ? order.lanes : 0;
        EXPECT_EQ(driver.calls("cuStreamCreate") - streamsBefore, starts) << order.name;
    }
}

}  // namespace
}  // namespace orv::test
