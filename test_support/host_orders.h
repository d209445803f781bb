// The orders in which real hosts drive a filter, as one table, and a runner
// that plays an order through the test host and checks every frame. The
// routes' tests run the same table against their own expectations.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "test_support/test_host.h"

namespace orv::test {

struct OrderStep {
    enum Op { Start, Run, End, Copy } op;
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
};

// VirtualDub 1.10.4 copies the instances of a running chain when the Filters
// dialog opens, stops the originals, starts the copies, and starts the
// originals again when the dialog is cancelled. VirtualDub2 stops the chain
// before it copies. Copies before a start come from a filter added twice.
// Each with copyProc2 and, as an old host would, by the bytes.
inline std::vector<HostOrder> virtualdub_orders(int longRun) {
    using S = OrderStep;
    const std::vector<OrderStep> whileRunning{{S::Start, 0},          {S::Run, 0, 2}, {S::Copy, 1, 1, 0},
                                              {S::End, 0},            {S::Start, 1},  {S::Run, 1, longRun},
                                              {S::End, 1},            {S::Start, 0},  {S::Run, 0, 2},
                                              {S::End, 0}};
    const std::vector<OrderStep> beforeStart{{S::Copy, 1, 1, 0}, {S::Start, 0}, {S::Start, 1}, {S::Run, 0, 2},
                                             {S::Run, 1, 2},     {S::End, 0},   {S::Run, 1, 2}, {S::End, 1}};
    const std::vector<OrderStep> afterStop{{S::Start, 0}, {S::Run, 0, 2}, {S::End, 0}, {S::Copy, 1, 1, 0},
                                           {S::Start, 1}, {S::Run, 1, 2}, {S::End, 1}, {S::Start, 0},
                                           {S::Run, 0, 1}, {S::End, 0}};
    using W = HostInstance::CopyWay;
    return {
        {"1.10.4, copy of a running instance by copyProc2", 17, W::Proc2, whileRunning, true},
        {"1.10.4, copy of a running instance by bytes", 17, W::Bytes, whileRunning, true},
        {"1.10.4, copy before start by copyProc2", 17, W::Proc2, beforeStart},
        {"old host, copy before start by copyProc", 17, W::Proc, beforeStart},
        {"VirtualDub2, copy after stop by copyProc2", 20, W::Proc2, afterStop},
        {"VirtualDub2, copy after stop by bytes", 20, W::Bytes, afterStop},
    };
}

// What frame `index` of the run must come out as; `noiseSigma` is the
// instance's estimate, which the expectation carries forward.
using ExpectFrame = std::function<std::vector<uint32_t>(int index, float& noiseSigma)>;

// Plays `order` on a module registered at the order's version, with
// instance 0 set up by `setUp`, on frames given by `picture` (by index) and
// checked against `expect`. Every instance keeps its own noise estimate; a
// copy starts from its original's.
inline void play_host_order(const std::string& modulePath, const HostOrder& order, int32_t w, int32_t h,
                            const std::function<void(HostInstance&)>& setUp,
                            const std::function<const std::vector<uint32_t>&(int)>& picture,
                            const ExpectFrame& expect) {
    SCOPED_TRACE(order.name);
    ModuleHost host(modulePath);
    ASSERT_EQ(host.register_filter(order.version, 4), 0);
    // The host takes a module whose version reaches its lowest and whose
    // lowest doesn't pass its own.
    ASSERT_GE(host.version(), 4);
    ASSERT_LE(host.compatibleVersion(), order.version);
    std::vector<std::unique_ptr<HostInstance>> in;
    std::vector<float> sigma;
    in.push_back(std::make_unique<HostInstance>(host));
    sigma.push_back(0.0f);
    ASSERT_EQ(in[0]->init(), 0);
    setUp(*in[0]);
    // Old-style filters get bottom-up frames: positive pitches.
    TestFrame src(w, h, static_cast<ptrdiff_t>(w) * 4), dst(w, h, static_cast<ptrdiff_t>(w) * 4 + 16);
    int frame = 0;
    for (const OrderStep& st : order.steps) {
        SCOPED_TRACE("instance " + std::to_string(st.instance) + ", step " + std::to_string(st.op));
        switch (st.op) {
            case OrderStep::Copy:
                in.resize(static_cast<size_t>(st.instance) + 1);
                sigma.resize(in.size());
                in[st.instance] = std::make_unique<HostInstance>(host, 0x5A);
                in[st.instance]->copy_from(*in[st.from], order.copy);
                sigma[st.instance] = sigma[st.from];
                break;
            case OrderStep::Start:
                ASSERT_EQ(in[st.instance]->start(src, dst), 0);
                break;
            case OrderStep::End:
                ASSERT_EQ(in[st.instance]->end(), 0);
                break;
            case OrderStep::Run:
                for (int k = 0; k < st.count; ++k, ++frame) {
                    src.fill(picture(frame));
                    ASSERT_EQ(in[st.instance]->run(src, dst), 0) << "frame " << frame;
                    const auto want = expect(frame, sigma[st.instance]);
                    ASSERT_TRUE(dst.packed() == want) << "frame " << frame;
                }
                break;
        }
    }
    EXPECT_TRUE(dst.canaries_intact());
    host.deregister();
}

}  // namespace orv::test
