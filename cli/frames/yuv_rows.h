// The row steps of the YUV conversions (yuv_to_xrgb.cpp drives them), one
// set per vector width: the same integers as the scalar conversions, so
// every set gives their bytes.
#pragma once

#include <cstdint>
#include <optional>

namespace orv::cli {

// The luma table as a line in integers, Y a + ((Y m + c) >> 16) + b: exact
// for every Y where the conversion uses it (yuv_to_xrgb.cpp checks), and
// cheaper than looking up 32-bit entries lane by lane.
struct LumaLine {
    int32_t a, m, c, b;
};

// The line through a luma table that gives every entry, if there is one.
std::optional<LumaLine> luma_line(const int32_t (&yTab)[256]);
// The luma table of a range (it depends on nothing else).
void luma_table(bool fullRange, int32_t (&yTab)[256]);

struct ToXrgbConsts {
    const int32_t* yTab;        // luma to 2^-20 units, the rounding half included
    int32_t rv, gu, gv, bu;     // per 2^-20 of chroma interpolated times 16
    LumaLine line;              // yTab's entries
};

// Per 2^-16, in the order blue, green, red; each in -65536..65534, so that
// halves fit the 16-bit multiply-adds.
struct FromXrgbConsts {
    int32_t y[3], cb[3], cr[3];
    int32_t yoff;  // luma offset and rounding half
};

// How a chroma sample takes the colour differences across: its own column,
// [1 2 1] around a co-sited column, or the pair of a centred one.
enum class ChromaTaps { one, cosited, centred };

struct YuvRowKernels {
    // Chroma rows u0, u1, v0, v1 blended vertically (w0 a + (4 - w0) b - 512)
    // and multiplied out: red's share rv V, green's gu U + gv V, blue's bu U,
    // a value per chroma column.
    void (*products)(const uint8_t* const* rows, int w0, const ToXrgbConsts& c, int n, int32_t* pr, int32_t* pg,
                     int32_t* pb);
    // A row of XRGB from its luma row and the products, each with its edge
    // column repeated once on both sides (index 0 is chroma column -1),
    // interpolated across: the multiplies are linear, so they are done once
    // per chroma column rather than per pixel, in the same integers.
    void (*toXrgb)(const uint8_t* yRow, const int32_t* pr, const int32_t* pg, const int32_t* pb,
                   const ToXrgbConsts& c, int width, int chromaShiftX, bool centred, uint32_t* out);
    // Luma of a row of XRGB (when `yOut`), and its colour differences put
    // into `cb` and `cr`, or added to them when `add`.
    void (*differences)(const uint32_t* row, int width, const FromXrgbConsts& c, uint8_t* yOut, int32_t* cb,
                        int32_t* cr, bool add);
    // A chroma row from colour differences with the edge repeated once on
    // both sides (index 0 is column -1): (taps + bias) >> shift, clamped.
    void (*chroma)(const int32_t* cb, const int32_t* cr, int cw, ChromaTaps taps, int shift, int32_t bias,
                   uint8_t* outU, uint8_t* outV);
};

extern const YuvRowKernels kYuvRowsAvx2, kYuvRowsAvx512;

}  // namespace orv::cli
