// A fuzz target's decisions, taken from its input.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "test_support/host_session.h"

namespace orv::fuzz {

class InputChoices : public Choices {
public:
    explicit InputChoices(FuzzedDataProvider& in) : in_(in) {}
    uint32_t below(uint32_t n) override { return n <= 1 ? 0 : in_.ConsumeIntegralInRange<uint32_t>(0, n - 1); }
    uint64_t word() override { return in_.ConsumeIntegral<uint64_t>(); }
    bool exhausted() const override { return in_.remaining_bytes() == 0; }

private:
    FuzzedDataProvider& in_;
};

}  // namespace orv::fuzz
