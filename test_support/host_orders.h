// The orders in which real hosts drive a filter, as one table, and a runner
// that plays an order through the test host and checks every frame. The
// routes' tests run the same table against their own expectations.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "test_support/frame_util.h"
#include "test_support/test_host.h"

namespace orv::test {

struct OrderStep {
    enum Op { Start, Run, End, Copy, Deinit } op;
    int instance;   // which instance; Copy makes it
    int count = 1;  // Run: frames
    int from = 0;   // Copy: the instance copied
};

struct HostOrder {
    const char* name;
    int version;  // the interface version the host offers; its lowest is 4
    HostInstance::CopyWay copy;
    std::vector<OrderStep> steps;
    // The order every VirtualDub 1.10.4 user meets on opening the Filters
    // dialog, played at 1920x1080 where a route can afford it.
    bool fullSize = false;
    // One buffer as source and destination, and script values of 64 bits.
    bool avisynth = false;
    // Instances on threads of their own, each playing the steps with its own
    // frames, as AviSynth+'s Prefetch makes them.
    int lanes = 1;
};

inline std::vector<HostOrder> host_orders(int longRun) {
    using S = OrderStep;
    using W = HostInstance::CopyWay;
    // VirtualDub 1.10.4 copies the instances of a running chain when the
    // Filters dialog opens, stops the originals, starts the copies, and
    // starts the originals again when the dialog is cancelled. VirtualDub2
    // stops the chain before it copies. Copies before a start come from a
    // filter added twice.
    const std::vector<OrderStep> whileRunning{{S::Start, 0},  {S::Run, 0, 2},       {S::Copy, 1, 1, 0}, {S::End, 0},
                                              {S::Start, 1},  {S::Run, 1, longRun}, {S::End, 1},        {S::Start, 0},
                                              {S::Run, 0, 2}, {S::End, 0}};
    const std::vector<OrderStep> beforeStart{{S::Copy, 1, 1, 0}, {S::Start, 0}, {S::Start, 1},  {S::Run, 0, 2},
                                             {S::Run, 1, 2},     {S::End, 0},   {S::Run, 1, 2}, {S::End, 1}};
    const std::vector<OrderStep> afterStop{{S::Start, 0},  {S::Run, 0, 2}, {S::End, 0}, {S::Copy, 1, 1, 0},
                                           {S::Start, 1},  {S::Run, 1, 2}, {S::End, 1}, {S::Start, 0},
                                           {S::Run, 0, 1}, {S::End, 0}};
    // The Filters dialog cancelled before its copies ever started: they are
    // deleted, their end and deinit called, while the originals run on.
    const std::vector<OrderStep> cancelled{{S::Start, 0}, {S::Run, 0, 2}, {S::Copy, 1, 1, 0}, {S::End, 1},
                                           {S::Deinit, 1}, {S::Run, 0, 2}, {S::End, 0},        {S::Deinit, 0}};
    // AviSynth+ restarts an instance on every frame that is not the next one
    // (each seek), ends it once more when it is destroyed, and never copies it
    // or calls deinitProc.
    const std::vector<OrderStep> avisynth{{S::Start, 0}, {S::Run, 0, 2}, {S::End, 0},    {S::Start, 0}, {S::Run, 0, 1},
                                          {S::End, 0},   {S::Start, 0},  {S::Run, 0, 3}, {S::End, 0},   {S::End, 0}};
    // Under Prefetch(N) each thread's instance gets every N-th frame: a
    // restart around every one.
    std::vector<OrderStep> restartEveryFrame;
    for (int k = 0; k < 12; ++k) restartEveryFrame.insert(restartEveryFrame.end(), {{S::Start, 0}, {S::Run, 0}, {S::End, 0}});
    // VirtualDub deletes every instance it made, after its end.
    const auto deleted = [](std::vector<OrderStep> steps) {
        int made = 1;
        for (const OrderStep& st : steps) made += st.op == S::Copy ? 1 : 0;
        for (int i = 0; i < made; ++i) steps.push_back({S::Deinit, i});
        return steps;
    };
    return {
        {"VirtualDub 1.10.4, copy of a running instance by copyProc2", 17, W::Proc2, deleted(whileRunning), true},
        {"VirtualDub 1.10.4, copy of a running instance by bytes", 17, W::Bytes, deleted(whileRunning), true},
        {"VirtualDub 1.10.4, Filters dialog cancelled, unstarted copy by bytes deleted", 17, W::Bytes, cancelled},
        {"VirtualDub 1.10.4, copy before start by copyProc2", 17, W::Proc2, deleted(beforeStart)},
        {"an old host, copy before start by copyProc", 17, W::Proc, deleted(beforeStart)},
        {"VirtualDub2, copy after stop by copyProc2", 20, W::Proc2, deleted(afterStop)},
        {"VirtualDub2, copy after stop by bytes", 20, W::Bytes, deleted(afterStop)},
        {"VirtualDub2, a restart around every frame", 20, W::Proc2, deleted(restartEveryFrame)},
        {"AviSynth+, in place, restarts on seeks", 14, W::Bytes, avisynth, false, true},
        {"AviSynth+ with Prefetch(3)", 14, W::Bytes, avisynth, false, true, 3},
        {"AviSynth+ with Prefetch(2), a restart around every frame", 14, W::Bytes, restartEveryFrame, false, true, 2},
    };
}

// The settings through the script command, as the order's host passes them.
inline void configure(HostInstance& in, const HostOrder& order, const Settings& s) {
    ASSERT_TRUE(in.script_call("Config", {s.f1, s.f2, s.sharp, s.interlace, 1}, order.avisynth));
    in.fields().showNoise = s.showNoise;
}

// What frame `index` of a lane must come out as; `noiseSigma` is the
// instance's estimate, which the expectation carries forward. Called from
// the lanes' threads at once.
using ExpectFrame = std::function<std::vector<uint32_t>(int index, float& noiseSigma)>;
using SetUp = std::function<void(HostInstance&)>;
using Picture = std::function<const std::vector<uint32_t>&(int index)>;

// One lane: the order's steps on instances of its own, from instance 0 as
// `setUp` leaves it after init.
inline void play_lane(ModuleHost& host, const HostOrder& order, int32_t w, int32_t h, const SetUp& setUp,
                      const Picture& picture, const ExpectFrame& expect) {
    std::vector<std::unique_ptr<HostInstance>> in;
    std::vector<float> sigma{0.0f};
    in.push_back(std::make_unique<HostInstance>(host));
    ASSERT_EQ(in[0]->init(), 0);
    setUp(*in[0]);
    // Old-style filters get bottom-up frames: positive pitches.
    TestFrame src(w, h, static_cast<ptrdiff_t>(w) * 4), other(w, h, static_cast<ptrdiff_t>(w) * 4 + 16);
    TestFrame& dst = order.avisynth ? src : other;
    int frame = 0;
    for (const OrderStep& st : order.steps) {
        HostInstance& i = st.op == OrderStep::Copy ? *in[st.from] : *in[st.instance];
        switch (st.op) {
            case OrderStep::Copy:
                in.resize(static_cast<size_t>(st.instance) + 1);
                sigma.resize(in.size());
                in[st.instance] = std::make_unique<HostInstance>(host, 0x5A);
                in[st.instance]->copy_from(i, order.copy);
                EXPECT_EQ(in[st.instance]->fields().noiseSigma, i.fields().noiseSigma) << "copy " << st.instance;
                sigma[st.instance] = sigma[st.from];
                break;
            case OrderStep::Start:
                ASSERT_EQ(i.start(src, dst), 0);
                break;
            case OrderStep::End:
                ASSERT_EQ(i.end(), 0);
                break;
            case OrderStep::Deinit:
                i.deinit();
                break;
            case OrderStep::Run:
                for (int k = 0; k < st.count; ++k, ++frame) {
                    src.fill(picture(frame));
                    ASSERT_EQ(i.run(src, dst), 0) << "frame " << frame;
                    const auto want = expect(frame, sigma[st.instance]);
                    ASSERT_TRUE(dst.packed() == want) << "frame " << frame << " of instance " << st.instance;
                }
                break;
        }
    }
    EXPECT_TRUE(dst.canaries_intact());
}

// Plays `order` on a module registered at the order's version.
inline void play_host_order(const std::string& modulePath, const HostOrder& order, int32_t w, int32_t h,
                            const SetUp& setUp, const Picture& picture, const ExpectFrame& expect) {
    SCOPED_TRACE(order.name);
    ModuleHost host(modulePath);
    ASSERT_EQ(host.register_filter(order.version, 4), 0);
    // The host takes a module whose version reaches its lowest and whose
    // lowest doesn't pass its own.
    ASSERT_GE(host.version(), 4);
    ASSERT_LE(host.compatibleVersion(), order.version);
    std::vector<std::thread> lanes;
    for (int k = 0; k < order.lanes; ++k)
        lanes.emplace_back([&] { play_lane(host, order, w, h, setUp, picture, expect); });
    for (auto& t : lanes) t.join();
    host.deregister();
}

}  // namespace orv::test
