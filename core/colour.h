// The CPU route's colour model: luma bytes for the plane, and the rebuild of an
// XRGB word from its luma correction. The truncation points decide the last bit
// of every output pixel, so the evaluation order below is fixed.
#pragma once

#include <cstdint>

namespace orv {

// Double to signed 32-bit, dropping the fraction. Values beyond the 32-bit
// range saturate instead of being undefined; in range it is a plain truncation.
inline int32_t trunc_i32(double x) {
    if (!(x > -2147483649.0)) return x != x ? 0 : INT32_MIN;
    if (!(x < 2147483648.0)) return INT32_MAX;
    return static_cast<int32_t>(x);
}

inline double luma_double(uint32_t word) {
    const double r = static_cast<double>((word >> 16) & 0xFF);
    const double g = static_cast<double>((word >> 8) & 0xFF);
    const double b = static_cast<double>(word & 0xFF);
    return (g * 0.587 + r * 0.299) + b * 0.114;
}

inline uint8_t luma_byte(uint32_t word) { return static_cast<uint8_t>(trunc_i32(luma_double(word))); }

// plane[k] = luma byte of source[k], k = 0 .. count - 1.
void build_luma_plane(const uint32_t* source, int64_t count, uint8_t* plane);

uint32_t rebuild_xrgb(uint32_t word, int32_t S);

// The show-noise picture of the change from `in` to `out` (both XRGB words).
uint32_t show_noise_word(uint32_t in, uint32_t out);

}  // namespace orv
