// Fuzz target: the fast CPU route, in each kernel set the processor runs,
// against the reference route on the very same memory. The input lays out a
// source and a destination frame anywhere in one block of memory: apart, in
// place, overlapping by any number of bytes, rows misaligned, pitches of any
// sign and padding, even shorter than a row. Both routes must leave every byte
// of that block, the luma plane and the return code exactly alike.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/fast_route.h"
#include "core/reference_route.h"
#include "test_support/fail.h"
#include "test_support/host_session.h"
#include "fuzz/input_choices.h"
#include "test_support/random_frames.h"

namespace orv::fuzz {
namespace {

// Where the two frames lie in the block, as offsets of their lowest rows.
struct Layout {
    int32_t w, h;
    ptrdiff_t srcPitch, dstPitch;
    size_t srcLowest, dstLowest, size;
};

ptrdiff_t magnitude(ptrdiff_t p) { return p < 0 ? -p : p; }

size_t span(const Layout& l, ptrdiff_t pitch) {
    if (l.w <= 0 || l.h <= 0) return 0;
    return static_cast<size_t>(l.h - 1) * static_cast<size_t>(magnitude(pitch)) + static_cast<size_t>(l.w) * 4;
}

Layout choose_layout(Choices& c) {
    Layout l{};
    if (c.one_in(16)) {  // long and thin
        l.w = c.range(1, 2048);
        l.h = c.range(1, 3);
        if (c.one_in(2)) std::swap(l.w, l.h);
    } else {
        auto side = [&] { return c.one_in(32) ? c.range(-2, 0) : c.one_in(8) ? c.range(0, 300) : c.range(0, 24); };
        l.w = side();
        l.h = side();
    }
    const ptrdiff_t row = static_cast<ptrdiff_t>(l.w > 0 ? l.w : 0) * 4;
    // Padding of any byte count: a pitch that is no multiple of 4 misaligns
    // every other row. Now and then a pitch shorter than a row, down to 0:
    // a broken frame whose rows overlap one another.
    auto pitch = [&] {
        ptrdiff_t p = row + (c.one_in(4) ? static_cast<ptrdiff_t>(c.below(68)) : 4 * c.below(5));
        if (c.one_in(32)) p = static_cast<ptrdiff_t>(c.below(static_cast<uint32_t>(row) + 1));
        return c.one_in(2) ? -p : p;
    };
    l.srcPitch = pitch();
    l.dstPitch = pitch();
    const size_t margin = 64 + c.below(4);  // the block's own alignment is malloc's
    const size_t srcSpan = span(l, l.srcPitch);
    l.srcLowest = margin;
    switch (c.below(4)) {
        case 0:  // in place
            l.dstPitch = l.srcPitch;
            l.dstLowest = l.srcLowest;
            break;
        case 1: {  // overlapping, shifted by any number of bytes either way
            const size_t dstSpan = span(l, l.dstPitch);
            const size_t reach = std::max(srcSpan, dstSpan) + 8;
            const ptrdiff_t shift = static_cast<ptrdiff_t>(c.below(static_cast<uint32_t>(2 * reach + 1))) -
                                    static_cast<ptrdiff_t>(reach);
            l.srcLowest = margin + reach;
            l.dstLowest = static_cast<size_t>(static_cast<ptrdiff_t>(l.srcLowest) + shift);
            break;
        }
        default:  // apart
            l.dstLowest = l.srcLowest + srcSpan + c.below(9);
    }
    l.size = std::max(l.srcLowest + srcSpan, l.dstLowest + span(l, l.dstPitch)) + margin;
    return l;
}

FrameView view(std::vector<uint8_t>& block, const Layout& l, size_t lowest, ptrdiff_t pitch, bool rowsOfSource) {
    uint8_t* low = block.data() + lowest;
    uint8_t* row0 = pitch < 0 && l.h > 0 ? low + static_cast<ptrdiff_t>(l.h - 1) * magnitude(pitch) : low;
    // A destination's own w and h are not read: the source's serve the call.
    return FrameView{row0, pitch, rowsOfSource ? l.w : 0, rowsOfSource ? l.h : 0};
}

std::string describe(const Layout& l, const FilterInstance& fi, const KernelSet& v) {
    char b[240];
    std::snprintf(b, sizeof b,
                  "%s, %dx%d, source pitch %td at %zu, destination pitch %td at %zu; f1=%d f2=%d sharp=%d "
                  "interlace=%d showNoise=%d",
                  v.name, l.w, l.h, l.srcPitch, l.srcLowest, l.dstPitch, l.dstLowest, fi.f1, fi.f2,
                  fi.sharp, fi.interlace, fi.showNoise);
    return b;
}

void one_frame(Choices& c, FilterInstance& ref, FilterInstance& fast, const KernelSet& v) {
    const Layout l = choose_layout(c);
    std::vector<uint8_t> block(l.size);
    test::SplitMix64 g{c.word()};
    // Mostly mild noise about a grey with sparse structure, where the noise
    // and structure decisions mix; else any words. Top bytes are random.
    const bool smooth = !c.one_in(4);
    const uint32_t grey = static_cast<uint32_t>(g.below(256));
    for (size_t i = 0; i < block.size(); i += 4) {
        uint32_t word = static_cast<uint32_t>(g.next());
        if (smooth) {
            const uint32_t v = (grey + static_cast<uint32_t>(g.below(12)) + (i % 116 == 0 ? 64 : 0)) & 0xFF;
            word = v * 0x010101u | (word & 0xFF000000u);
        }
        std::memcpy(&block[i], &word, std::min<size_t>(4, block.size() - i));
    }
    std::vector<uint8_t> other = block;

    const int rcRef = run_reference_route(ref, view(block, l, l.srcLowest, l.srcPitch, true),
                                    view(block, l, l.dstLowest, l.dstPitch, false));
    const int rcFast = run_fast_route(fast, view(other, l, l.srcLowest, l.srcPitch, true),
                                          view(other, l, l.dstLowest, l.dstPitch, false), v);
    const std::string what = describe(l, ref, v) + ": ";
    if (rcRef != rcFast) fail(what + "return codes " + std::to_string(rcRef) + " and " + std::to_string(rcFast));
    for (size_t i = 0; i < block.size(); ++i)
        if (block[i] != other[i])
            fail(what + "byte " + std::to_string(i) + " of the block is " + std::to_string(other[i]) +
                 ", the reference wrote " + std::to_string(block[i]));
    if (ref.lumaPlaneSize != fast.lumaPlaneSize ||
        (ref.lumaPlaneSize > 0 && std::memcmp(ref.lumaPlane, fast.lumaPlane, ref.lumaPlaneSize) != 0))
        fail(what + "luma planes differ");
}

}  // namespace
}  // namespace orv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    FuzzedDataProvider in(data, size);
    fuzz::InputChoices c(in);
    const KernelSet& v = kernel_sets()[c.below(static_cast<uint32_t>(kernel_sets().size()))];
    if (!runs_here(v)) return 0;
    // Two instances alike, one per route, through a few frames, so that the
    // plane is made, kept and resized as frames change size.
    FilterInstance ref{}, fast{};
    ref.f1 = fuzz::script_value(c);
    ref.f2 = fuzz::script_value(c);
    ref.sharp = fuzz::script_value(c);
    ref.interlace = c.one_in(2) ? c.range(0, 1) : fuzz::script_value(c);
    ref.showNoise = c.one_in(2) ? c.range(0, 1) : fuzz::script_value(c);
    fast = ref;
    for (int frame = 0; frame < 4 && !c.exhausted(); ++frame) fuzz::one_frame(c, ref, fast, v);
    std::free(ref.lumaPlane);
    release_line_ring(ref);
    std::free(fast.lumaPlane);
    release_line_ring(fast);
    return 0;
}
