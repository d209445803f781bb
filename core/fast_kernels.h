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
    // With strengths in the usual range nothing wraps, and 10*|R| > T is
    // |R| > T/10 exactly, with T/10 = a*200 - k*200*E.
    int32_t tenthThresholds;  // non-zero: the x200 constants apply
    int32_t a1x200, k1x200;
    int32_t a2x200, k2x200;
    int32_t negSharp;   // -sharp: (-(sharp*R)) is (-sharp)*R modulo 2^32
    int32_t step;       // vertical step: 2 with interlace, else 1
    int32_t showNoise;  // non-zero: output the picture of the change
};

PassConstants make_pass_constants(int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t showNoise);

// Rows within reach of a row being denoised: t = -6 .. 6 vertical steps.
constexpr int kLineCount = 13;

// One output row of the denoise. The plane holds all `height` rows of
// `width` luma bytes (at least those within reach of row `row`); `source` and
// `output` are that row's words, and may be the same words. Kernels that read
// 16-bit samples find them in lines[t + 6], the plane row row + t*step
// widened, or null where that row lies outside the frame.
struct RowJob {
    const uint8_t* plane;
    const int16_t* const* lines;
    int32_t width;
    int32_t height;
    int32_t row;
    const uint32_t* source;
    uint32_t* output;
    PassConstants pc;
};

struct RowKernels {
    // Fills a plane row, and its 16-bit samples when `wide` is not null.
    void (*luma_row)(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide);
    void (*denoise_row)(const RowJob& job);
    bool readsLines;  // denoise_row reads RowJob::lines rather than the plane
};

// Portable kernels: the reference arithmetic without the per-neighbour border
// checks away from the frame's edges.
void luma_row_scalar(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide);
void denoise_row_scalar(const RowJob& job);

// Vector kernels (core/simd/row_kernels.inl), one set per instruction set.
// Call only when the processor has that set. The colour rebuild alone, for
// words[k] with correction S[k] (|S[k]| <= 32768, the range a correction
// takes), is there for the tests.
void luma_row_avx2(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide);
void denoise_row_avx2(const RowJob& job);
void rebuild_words_avx2(const uint32_t* words, const int32_t* S, int32_t count, int32_t showNoise, uint32_t* out);
void luma_row_avx512(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide);
void denoise_row_avx512(const RowJob& job);
void rebuild_words_avx512(const uint32_t* words, const int32_t* S, int32_t count, int32_t showNoise, uint32_t* out);

}  // namespace orv::fast
