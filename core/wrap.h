// Two's-complement 32-bit arithmetic with defined wrap-around. Settings from a
// script may be any integer, and the filter's arithmetic then wraps exactly as
// 32-bit hardware does; plain signed overflow would be undefined behaviour.
#pragma once

#include <cstdint>

namespace orv {

inline int32_t wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrap_sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t wrap_mul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t wrap_neg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }
inline int32_t wrap_abs(int32_t a) { return a < 0 ? wrap_neg(a) : a; }
// Division truncating toward zero; INT32_MIN / -1 wraps to INT32_MIN.
inline int32_t wrap_div(int32_t a, int32_t b) { return (b == -1) ? wrap_neg(a) : a / b; }

}  // namespace orv
