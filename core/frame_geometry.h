// How a host frame lies in memory, and the row walk every route shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orv {

// A host frame reduced to what the row walk needs.
struct FrameView {
    uint8_t* data;  // row 0
    ptrdiff_t pitch;
    int32_t w;
    int32_t h;
};

// The frame's lowest-addressed row: every transfer starts there and steps by
// |pitch|, so all routes see a frame with a negative pitch in one row order.
inline uint8_t* lowest_row(const FrameView& f) {
    if (f.pitch >= 0 || f.h <= 0) return f.data;
    return f.data + static_cast<ptrdiff_t>(f.h - 1) * f.pitch;
}

// Copies h rows of w*4 bytes in address order between two walks. A packed
// buffer is a FrameView with pitch w*4.
inline void copy_rows(const FrameView& from, const FrameView& to, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return;
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    const uint8_t* s = lowest_row(FrameView{from.data, from.pitch, w, h});
    uint8_t* d = lowest_row(FrameView{to.data, to.pitch, w, h});
    const ptrdiff_t sStep = from.pitch < 0 ? -from.pitch : from.pitch;
    const ptrdiff_t dStep = to.pitch < 0 ? -to.pitch : to.pitch;
    for (int32_t i = 0; i < h; ++i) {
        // memmove: a host may hand the same buffer as source and destination.
        if (s != d) std::memmove(d, s, rowBytes);
        s += sStep;
        d += dStep;
    }
}

}  // namespace orv
