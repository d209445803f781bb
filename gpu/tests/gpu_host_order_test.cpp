// The GPU route in real hosts' orders, on the fake driver: every copy works
// on a context of its own (a copy by bytes included), carries its original's
// noise estimate, and ending either leaves the other's context whole; a
// restart takes an idle context back rather than making one; frames in place
// come back from the GPU as frames with separate buffers do.
#include <algorithm>

#include "gpu/tests/gpu_route_fixture.h"
#include "test_support/host_orders.h"

namespace orv::test {
namespace {

// The emulator takes seconds over a 1920x1080 frame: the long run is 100
// frames of 160x90.
constexpr int kLongRun = 100;

int most_started_at_once(const HostOrder& order) {
    int now = 0, most = 0;
    std::vector<bool> started(8, false);
    for (const OrderStep& st : order.steps) {
        if (st.op == OrderStep::Start && !started[st.instance]) started[st.instance] = true, ++now;
        if (st.op == OrderStep::End && started[st.instance]) started[st.instance] = false, --now;
        most = std::max(most, now);
    }
    return most;
}

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
        driver.reset();
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
        // The host's last word, the module's deinit entry, took back every
        // idle context.
        EXPECT_EQ(driver.live("allocations"), 0) << order.name;
        EXPECT_EQ(driver.live("streams"), 0) << order.name;
        EXPECT_EQ(driver.faults(), 0) << order.name;
        // No driver call failed: a context freed twice (a copy's and its
        // original's) shows as a buffer or stream the driver no longer knows.
        const std::string log = driver.log();
        const size_t failed = log.find(" -> ");
        EXPECT_EQ(failed, std::string::npos) << order.name << ": " << log.substr(failed < 80 ? 0 : failed - 80, 100);
        // A context for each instance started at once, taken again by every
        // later start: never one a start.
        const int peak = most_started_at_once(order);
        const int made = driver.calls("cuStreamCreate") - streamsBefore;
        if (order.lanes == 1) {
            EXPECT_EQ(made, peak) << order.name;
        }
        EXPECT_GE(made, peak) << order.name;
        EXPECT_LE(made, peak * order.lanes) << order.name;
    }
}

// AviSynth+ never deletes an instance through the filter: a script closed and
// opened again, a hundred times, unloads the module after its deinit entry
// each time, and the device memory stays where one script left it.
TEST(GpuHostOrders, AScriptReopenedLeavesNoDeviceMemory) {
    FakeDriver driver;
    const int leftOver = driver.live("kilobytes");
    TestFrame frame(24, 16, 24 * 4);
    frame.fill_words(0x808080);
    for (int round = 0; round < 100; ++round) {
        RegisteredModule m;
        HostInstance in(m.host);
        ASSERT_EQ(in.init(), 0);
        ASSERT_EQ(in.start(frame, frame), 0);
        ASSERT_EQ(in.run(frame, frame), 0);
        ASSERT_EQ(in.end(), 0);
        ASSERT_EQ(in.end(), 0);
        ASSERT_GT(driver.live("kilobytes"), leftOver) << "the context is kept idle until the module goes";
        m.host.deregister();
        ASSERT_EQ(driver.live("kilobytes"), leftOver) << round;
    }
}

}  // namespace
}  // namespace orv::test
