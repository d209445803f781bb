// The denoise as row kernels: one set per instruction set, all with the same
// shape, and the plain reference among them (also the set for processors
// without SSE4.1). Every set gives the reference's bytes; core/kernel_sets.h
// lists them.
//
// This header is included by translation units compiled for vector sets.
// It must therefore declare only plain records and out-of-line functions: an
// inline function or template defined here would be emitted by those units
// too, with their instructions, and the linker may keep that copy for every
// caller.
#pragma once

#include <cstdint>

namespace orv {

namespace kernels {

// Everything a pass needs from the settings, worked out once per frame with
// the same 32-bit wrap-around as the reference. The reference works from the
// settings themselves; the vector kernels from the thresholds
// T = (a - k*E)*2000, taken as a2000 - k2000*E, equal modulo 2^32.
struct PassConstants {
    int32_t f1, f2, sharp;
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
    // Non-zero: output goes past the caches (non-temporal stores), for frames
    // the last-level cache can't hold, where keeping the output would only
    // push out the rows still to be read. Rows not aligned to the kernels'
    // vectors (16 to 64 bytes, by set) are written as usual.
    int32_t streamOutput;
};

PassConstants make_pass_constants(int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t showNoise);

// Rows within reach of a row being denoised: t = -6 .. 6 vertical steps.
constexpr int kLineCount = 13;

// Marked samples around every 16-bit line, and the value that marks them:
// a neighbour read there is outside the frame and stands in as the centre.
constexpr int kLinePad = 48;  // a 32-sample chunk's reach past the row's end, rounded up
constexpr int16_t kOutside = -1;

// One output row of the denoise. The plane holds all `height` rows of
// `width` luma bytes (at least those within reach of row `row`); `source` and
// `output` are that row's words, and may be the same words. Kernels that read
// 16-bit samples find them in lines[t + 6]: the plane row row + t*step
// widened, with kLinePad marked samples before and after it, or a line of
// marked samples only where that row lies outside the frame.
struct RowJob {
    const uint8_t* plane;
    const int16_t* const* lines;
    int32_t width;
    int32_t height;
    int32_t row;
    const uint32_t* source;
    uint32_t* output;
    PassConstants pc;
    // Row `row`'s multiple bits (see luma_row) beside its samples in
    // lines[6]: the rebuild then takes the luma from those. Null: the rebuild
    // works the luma out from the words.
    const uint8_t* multiples = nullptr;
};

// The denoise of a plane of samples wider than bytes (9 to 16 bits, or 8
// where a set reads no lines), on 32-bit lines: lines[t + 6] is the row
// row + t*step, with kWideLinePad marked samples each side, or a line marked
// throughout where that row lies outside the frame. A sample v is held as
// the word (v >> 2) << 16 | (v & 3): its quarter in the high half, its
// remainder in the low, so that sums of two such words keep both halves
// within signed 16 bits, each pair a multiply-add can weigh as (K, 4K). The
// strengths are on the samples' scale: a = 10*f*2^(bits-8),
// k = 333*f/1000, so that samples 2^(bits-8) times an 8-bit plane's make the
// 8-bit plane's decisions.
constexpr int kWideLinePad = 24;  // a chunk's reach past the row's end: 16 lanes and the reach of 6, rounded up
constexpr int32_t kWideOutside = -1;
struct WideRowJob {
    const int32_t* const* lines;
    int32_t width;
    int32_t a1, k1, a2, k2, sharp;
    int32_t rowsInside;  // non-zero: every line is a row of the frame
};

// Each kernel's signature, written once: the sets' units define their
// kernels through these, and RowKernels holds pointers of the same types.
//
// luma_row fills `count` plane bytes, and their 16-bit samples when `wide`
// is not null. When `multiples` is not null, also a bit per word (word i:
// bit i % 8 of byte i / 8), set where its luma numerator 587G + 299R + 114B
// is a multiple of 1000: the one case in which the model's luma may not be
// the sample plus a fraction, so the rebuild can't start from it.
#define ORV_DECL_LUMA_ROW(name) \
    void name(const uint32_t* source, int32_t count, uint8_t* plane, int16_t* wide, uint8_t* multiples)
// corrections_row: the corrections S of the row's `width` pixels.
#define ORV_DECL_CORRECTIONS_ROW(name) void name(const RowJob& job, int32_t* S)
// rebuild_row: output words from source words and their corrections
// (|S[k]| <= 32768, the range a correction takes); `out` may be `words`.
// `luma` and `multiples`, when not null, are the words' samples and multiple
// bits as luma_row made them, which the rebuild then starts from.
#define ORV_DECL_REBUILD_ROW(name)                                                                          \
    void name(const uint32_t* words, const int32_t* S, int32_t count, int32_t showNoise, uint32_t* out, \
              const int16_t* luma, const uint8_t* multiples)
// corrections_wide_row: the corrections S of a WideRowJob's `width` samples,
// for samples 0..65535, strengths 0..100 with a and k as above, and sharp
// 0..6 (the ranges a plane of samples is denoised with), where no
// intermediate leaves 32 bits.
#define ORV_DECL_CORRECTIONS_WIDE_ROW(name) void name(const WideRowJob& job, int32_t* S)
// denoise_row: corrections_row followed by rebuild_row.
#define ORV_DECL_DENOISE_ROW(name) void name(const RowJob& job)

using LumaRowFn = ORV_DECL_LUMA_ROW();
using CorrectionsRowFn = ORV_DECL_CORRECTIONS_ROW();
using RebuildRowFn = ORV_DECL_REBUILD_ROW();
using DenoiseRowFn = ORV_DECL_DENOISE_ROW();
using CorrectionsWideRowFn = ORV_DECL_CORRECTIONS_WIDE_ROW();

// One kernel set. The stages beside denoise_row are there to be timed and
// checked on their own.
struct RowKernels {
    LumaRowFn* luma_row;
    CorrectionsRowFn* corrections_row;
    RebuildRowFn* rebuild_row;
    DenoiseRowFn* denoise_row;
    bool readsLines;  // the kernels read RowJob::lines rather than the plane
    CorrectionsWideRowFn* corrections_wide_row;
};

// 16-bit copies of plane rows in the layout the kernels read, `slots` rows
// reused in turn. Out-of-line: see the note at the top.
class LineRing {
public:
    LineRing() = default;
    LineRing(const LineRing&) = delete;
    LineRing& operator=(const LineRing&) = delete;
    ~LineRing();
    // False when the memory can't be had.
    bool make(int32_t width, int64_t slots);
    // Whether the ring holds rows of `width` samples in `slots` slots or more.
    bool fits(int32_t width, int64_t slots) const;
    // Where plane row r's samples go: `width` of them.
    int16_t* row(int64_t r) const;
    // Where plane row r's multiple bits go (see luma_row).
    uint8_t* multiples(int64_t r) const;
    // The lines of row j for a frame of `height` rows and this vertical step.
    void lines_of(int32_t j, int32_t height, int32_t step, const int16_t* (&lines)[kLineCount]) const;

private:
    int16_t* data_ = nullptr;
    uint8_t* bits_ = nullptr;
    int64_t stride_ = 0;
    int64_t bitStride_ = 0;
    int64_t slots_ = 0;
    int32_t width_ = 0;
};

// The sets' kernels (core/simd/): the reference, then one set per
// instruction set (core/kernel_sets.def), to be called only when the
// processor has it.
#define ORV_KERNEL_SET(suffix, ...)                 \
    ORV_DECL_LUMA_ROW(luma_row_##suffix);               \
    ORV_DECL_CORRECTIONS_ROW(corrections_row_##suffix); \
    ORV_DECL_REBUILD_ROW(rebuild_row_##suffix);         \
    ORV_DECL_DENOISE_ROW(denoise_row_##suffix);         \
    ORV_DECL_CORRECTIONS_WIDE_ROW(corrections_wide_row_##suffix);
ORV_KERNEL_SET(reference)
#include "core/kernel_sets.def"
#undef ORV_KERNEL_SET

}  // namespace kernels

}  // namespace orv
