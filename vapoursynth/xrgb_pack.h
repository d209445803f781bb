// VapourSynth's planar RGB24 rows to the filter's XRGB words and back.
#pragma once

#include <cstdint>

namespace orv::vs {

// One row: blue in bits 0-7, green in 8-15, red in 16-23, the top byte 0.
void pack_xrgb_row(const uint8_t* r, const uint8_t* g, const uint8_t* b, uint32_t* out, int32_t w);
void unpack_xrgb_row(const uint32_t* in, uint8_t* r, uint8_t* g, uint8_t* b, int32_t w);

}  // namespace orv::vs
