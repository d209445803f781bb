#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "host/guarded.h"

namespace orv {
namespace {

// Whatever is thrown, the host gets the failure result and no exception.
TEST(Guarded, AnyExceptionBecomesTheFailureResult) {
    EXPECT_EQ(guarded(1, [] { return 0; }), 0);
    EXPECT_EQ(guarded(1, []() -> int { throw std::bad_alloc(); }), 1);
    EXPECT_EQ(guarded(1, []() -> int { throw std::runtime_error("x"); }), 1);
    EXPECT_EQ(guarded(7, []() -> int { throw 42; }), 7);
    EXPECT_FALSE(guarded(false, []() -> bool { throw "text"; }));
    int after = 0;
    guarded([&] {
        after = 1;
        throw std::logic_error("x");
    });
    EXPECT_EQ(after, 1);
    static_assert(noexcept(guarded(1, [] { return 0; })));
}

}  // namespace
}  // namespace orv
