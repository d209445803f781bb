#include "core/colour.h"

namespace orv {

namespace {

inline int32_t clamp_channel(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

inline int32_t noise_channel(int32_t in, int32_t out) {
    int32_t d = 5 * (in - out);
    if (d < -127) d = -127;
    if (d > 128) d = 128;
    return 127 + d;
}

}  // namespace

void build_luma_plane(const uint32_t* source, int64_t count, uint8_t* plane) {
    for (int64_t k = 0; k < count; ++k) plane[k] = luma_byte(source[k]);
}

uint32_t rebuild_xrgb(uint32_t word, int32_t S) {
    const double r = static_cast<double>((word >> 16) & 0xFF);
    const double g = static_cast<double>((word >> 8) & 0xFF);
    const double b = static_cast<double>(word & 0xFF);
    const double y = (g * 0.587 + r * 0.299) + b * 0.114;
    const int32_t yi = trunc_i32(y - static_cast<double>(S));
    const int32_t ui = trunc_i32((r * (-0.147) - g * 0.289) + b * 0.436);
    const int32_t vi = trunc_i32((r * 0.615 - g * 0.515) + b * 0.1);
    const double yd = yi, ud = ui, vd = vi;
    const int32_t red = clamp_channel(trunc_i32(((yd * 0.772 - ud * 0.4633) + vd * 1.14) + 0.5));
    const int32_t green = clamp_channel(trunc_i32(((yd * 1.1161 - ud * 0.1587) - vd * 0.5806) + 0.5));
    const int32_t blue = clamp_channel(trunc_i32(((yd * 1.0001 + ud * 2.0322) - vd * 0.0005) + 0.5));
    return static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(blue);
}

uint32_t show_noise_word(uint32_t in, uint32_t out) {
    const int32_t r = noise_channel((in >> 16) & 0xFF, (out >> 16) & 0xFF);
    const int32_t g = noise_channel((in >> 8) & 0xFF, (out >> 8) & 0xFF);
    const int32_t b = noise_channel(in & 0xFF, out & 0xFF);
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

}  // namespace orv
