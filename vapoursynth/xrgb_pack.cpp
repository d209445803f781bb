#include "vapoursynth/xrgb_pack.h"

namespace orv::vs {

// Plain loops the vectoriser turns into shuffles; the restrict qualifiers
// tell it the planes and the words never overlap.
void pack_xrgb_row(const uint8_t* __restrict r, const uint8_t* __restrict g, const uint8_t* __restrict b,
                   uint32_t* __restrict out, int32_t w) {
    for (int32_t x = 0; x < w; ++x)
        out[x] = static_cast<uint32_t>(b[x]) | static_cast<uint32_t>(g[x]) << 8 | static_cast<uint32_t>(r[x]) << 16;
}

void unpack_xrgb_row(const uint32_t* __restrict in, uint8_t* __restrict r, uint8_t* __restrict g,
                     uint8_t* __restrict b, int32_t w) {
    for (int32_t x = 0; x < w; ++x) {
        const uint32_t v = in[x];
        b[x] = static_cast<uint8_t>(v);
        g[x] = static_cast<uint8_t>(v >> 8);
        r[x] = static_cast<uint8_t>(v >> 16);
    }
}

}  // namespace orv::vs
