// Fuzz target: the filter module as a host drives it. The input decides every
// host action (settings, switches, starts and ends, frames of any size, pitch
// and content, texts), and the session checks each result against the CPU
// reference and the host's rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <exception>

#include "fuzz/host_session.h"

namespace {

class InputChoices : public orv::fuzz::Choices {
public:
    explicit InputChoices(FuzzedDataProvider& in) : in_(in) {}
    uint32_t below(uint32_t n) override { return n <= 1 ? 0 : in_.ConsumeIntegralInRange<uint32_t>(0, n - 1); }
    uint64_t word() override { return in_.ConsumeIntegral<uint64_t>(); }
    bool exhausted() const override { return in_.remaining_bytes() == 0; }

private:
    FuzzedDataProvider& in_;
};

// One loaded module for the whole run, as an editor keeps it.
orv::test::ModuleHost* module = nullptr;

constexpr int kMaxSteps = 32;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    try {
        module = new orv::test::ModuleHost(ORV_MODULE_PATH);
        if (module->register_filter() != 0) orv::fuzz::fail("the module's init entry failed");
    } catch (const std::exception& e) {
        orv::fuzz::fail(e.what());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    InputChoices choices(in);
    try {
        orv::fuzz::HostSession session(*module, choices, orv::fuzz::SessionProfile{},
                                       in.ConsumeIntegral<uint8_t>());
        for (int i = 0; i < kMaxSteps && !choices.exhausted(); ++i) session.step();
        session.finish();
    } catch (const std::exception& e) {
        orv::fuzz::fail(e.what());
    }
    return 0;
}
