// The row kernels behind the fast CPU route, one set per instruction set.
//
// This header is included by translation units compiled for AVX2. It must
// therefore declare only plain records and out-of-line functions: an inline
// function or template defined here would be emitted by those units too, with
// AVX2 instructions, and the linker may keep that copy for every caller.
#pragma once

#include <cstdint>

namespace orv::fast {

// Everything a pass needs from the settings, worked out once per frame with
// the same 32-bit wrap-around as the reference core. The threshold
// T = (a - k*E)*2000 is taken as a2000 - k2000*E, equal modulo 2^32.
struct PassConstants {
    int32_t a1x2000, k1x2000;
    int32_t a2x2000, k2x2000;
    int32_t negSharp;   // -sharp: (-(sharp*R)) is (-sharp)*R modulo 2^32
    int32_t step;       // vertical step: 2 with interlace, else 1
    int32_t showNoise;  // non-zero: output the picture of the change
};

PassConstants make_pass_constants(int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t showNoise);

// One output row of the denoise. The plane holds all `height` rows of
// `width` luma bytes (at least those within reach of row `row`); `source` and
// `output` are that row's words, and may be the same words.
struct RowJob {
    const uint8_t* plane;
    int32_t width;
    int32_t height;
    int32_t row;
    const uint32_t* source;
    uint32_t* output;
    PassConstants pc;
};

struct RowKernels {
    void (*luma_row)(const uint32_t* source, int32_t count, uint8_t* plane);
    void (*denoise_row)(const RowJob& job);
};

// Portable kernels: the reference arithmetic without the per-neighbour border
// checks away from the frame's edges.
void luma_row_scalar(const uint32_t* source, int32_t count, uint8_t* plane);
void denoise_row_scalar(const RowJob& job);

// AVX2 kernels (core/simd/denoise_avx2.cpp). Call only when the processor has AVX2.
void luma_row_avx2(const uint32_t* source, int32_t count, uint8_t* plane);
void denoise_row_avx2(const RowJob& job);
// The colour rebuild alone, for words[k] with correction S[k] (|S[k]| <= 32768,
// the range a correction takes), as the denoise row applies it.
void rebuild_words_avx2(const uint32_t* words, const int32_t* S, int32_t count, int32_t showNoise, uint32_t* out);

}  // namespace orv::fast
