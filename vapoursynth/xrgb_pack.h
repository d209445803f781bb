// VapourSynth's planar RGB24 rows to the filter's XRGB words and back, in the
// widest vectors the kernel set in use allows.
#pragma once

#include <cstdint>

#include "core/kernel_sets.h"

namespace orv::vs {

// One row: blue in bits 0-7, green in 8-15, red in 16-23, the top byte 0.
#define ORV_DECL_PACK_ROW(name) \
    void name(const uint8_t* r, const uint8_t* g, const uint8_t* b, uint32_t* out, int32_t w)
#define ORV_DECL_UNPACK_ROW(name) void name(const uint32_t* in, uint8_t* r, uint8_t* g, uint8_t* b, int32_t w)

using PackRowFn = ORV_DECL_PACK_ROW();
using UnpackRowFn = ORV_DECL_UNPACK_ROW();

struct XrgbPack {
    const char* name;
    PackRowFn* pack;
    UnpackRowFn* unpack;
};

// A pixel at a time: what every packing must give.
ORV_DECL_PACK_ROW(pack_xrgb_row_reference);
ORV_DECL_UNPACK_ROW(unpack_xrgb_row_reference);
// SSE2, which every x86-64 processor has; the wider ones (xrgb_pack_avx.cpp)
// finish their rows with it.
ORV_DECL_PACK_ROW(pack_xrgb_row_sse2);
ORV_DECL_UNPACK_ROW(unpack_xrgb_row_sse2);
ORV_DECL_PACK_ROW(pack_xrgb_row_avx2);
ORV_DECL_UNPACK_ROW(unpack_xrgb_row_avx2);
ORV_DECL_PACK_ROW(pack_xrgb_row_avx512);
ORV_DECL_UNPACK_ROW(unpack_xrgb_row_avx512);

// The packing that goes with the kernels of `set`, a set the processor runs:
// AVX-512 beside the AVX-512 sets, AVX2 beside the AVX2 ones, else SSE2. A
// cap on the sets (ORV_KERNEL_SET) so caps the packing too.
const XrgbPack& xrgb_pack_for(const KernelSet& set);

}  // namespace orv::vs
