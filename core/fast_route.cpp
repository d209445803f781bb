#include "core/fast_route.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/colour.h"
#include "core/cpu_features.h"

namespace orv {

namespace kernels {

// Each slot: kLinePad marked samples, the row, kLinePad marked; after the
// slots one slot marked throughout, the line of every row outside the frame.
// Beside them, each slot's multiple bits.
LineRing::~LineRing() {
    std::free(data_);
    std::free(bits_);
}

bool LineRing::make(int32_t width, int64_t slots) {
    std::free(data_);
    std::free(bits_);
    stride_ = (static_cast<int64_t>(width) + 2 * kLinePad + 15) / 16 * 16;
    bitStride_ = (static_cast<int64_t>(width) + 63) / 64 * 8;
    slots_ = slots;
    width_ = width;
    const int64_t count = stride_ * (slots + 1);
    data_ = static_cast<int16_t*>(std::malloc(static_cast<size_t>(count) * sizeof(int16_t)));
    bits_ = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bitStride_ * slots) + 1, 1));
    if (data_ == nullptr || bits_ == nullptr) {
        slots_ = 0;
        return false;
    }
    std::fill(data_, data_ + count, kOutside);
    return true;
}

bool LineRing::fits(int32_t width, int64_t slots) const {
    return data_ != nullptr && bits_ != nullptr && width_ == width && slots_ >= slots;
}

int16_t* LineRing::row(int64_t r) const { return data_ + (r % slots_) * stride_ + kLinePad; }

uint8_t* LineRing::multiples(int64_t r) const { return bits_ + (r % slots_) * bitStride_; }

void LineRing::lines_of(int32_t j, int32_t height, int32_t step, const int16_t* (&lines)[kLineCount]) const {
    const int16_t* outside = data_ + slots_ * stride_ + kLinePad;
    for (int t = 0; t < kLineCount; ++t) {
        const int64_t r = static_cast<int64_t>(j) + static_cast<int64_t>(t - kLineCount / 2) * step;
        lines[t] = r >= 0 && r < height ? row(r) : outside;
    }
}

}  // namespace kernels

namespace {

// How the destination's rows lie against the source's. The fast route reads a
// source row's words up to the moment it writes the same row's output, so it
// can share memory with the source only row for row.
enum class Layout { Apart, SameRows, Other };

Layout layout_of(const uint8_t* s, ptrdiff_t sStep, const uint8_t* d, ptrdiff_t dStep, int32_t w, int32_t h) {
    const uintptr_t rowBytes = static_cast<uintptr_t>(w) * 4;
    // The kernels access rows as 32-bit words, which must be aligned as such.
    const uintptr_t misaligned = (reinterpret_cast<uintptr_t>(s) | reinterpret_cast<uintptr_t>(d) |
                                  static_cast<uintptr_t>(sStep) | static_cast<uintptr_t>(dStep)) & 3;
    if (misaligned != 0) return Layout::Other;
    const uintptr_t sBegin = reinterpret_cast<uintptr_t>(s);
    const uintptr_t dBegin = reinterpret_cast<uintptr_t>(d);
    const uintptr_t sEnd = sBegin + static_cast<uintptr_t>(h - 1) * static_cast<uintptr_t>(sStep) + rowBytes;
    const uintptr_t dEnd = dBegin + static_cast<uintptr_t>(h - 1) * static_cast<uintptr_t>(dStep) + rowBytes;
    if (sEnd <= dBegin || dEnd <= sBegin) return Layout::Apart;
    // In place, each row must be its own: rows that overlap one another would
    // let one row's output become the next row's source.
    if (s == d && sStep == dStep && (h == 1 || static_cast<uintptr_t>(sStep) >= rowBytes)) return Layout::SameRows;
    return Layout::Other;
}

// Slots for the rows within reach of a row being denoised, 12 vertical steps
// + 1, at the larger step: the interlace setting may change between frames.
constexpr int64_t kRingSlots = 12 * 2 + 1;

// The set's kernels with the ring of 16-bit lines they read: the
// instance's, made at start (about 100 KB at 1080p), or for a frame of
// another width, or an instance never started, one of the frame's own in
// `local`. When the processor lacks the set, or no ring can be had, the
// reference kernels, which need nothing beyond the plane.
const kernels::RowKernels& kernels_with_ring(const KernelSet& set, const FilterInstance& fi, int32_t w,
                                             kernels::LineRing& local, const kernels::LineRing*& ring) {
    const kernels::RowKernels& k = runs_here(set) ? set.kernels : kernel_sets()[0].kernels;
    ring = nullptr;
    if (!k.readsLines) return k;
    if (fi.lineRing != nullptr && fi.lineRing->fits(w, kRingSlots))
        ring = fi.lineRing;
    else if (local.make(w, kRingSlots))
        ring = &local;
    return ring != nullptr ? k : kernel_sets()[0].kernels;
}

// Where the sets at or below the one named end in the table: all of it for
// no name or an unknown one, which a host must never fail for.
size_t sets_up_to(const char* name) {
    const std::span<const KernelSet> sets = kernel_sets();
    for (size_t i = 0; name != nullptr && i < sets.size(); ++i)
        if (std::strcmp(sets[i].name, name) == 0) return i + 1;
    return sets.size();
}

// Asked of CPUID and the environment once, as the module loads. A local
// static would be guarded by a lock whose first use allocates (winpthreads),
// which crashes where the first frame meets memory that has run out.
const CpuFeatures kCpu = detect_cpu_features();
const size_t kSetsAllowed = sets_up_to(std::getenv("ORV_KERNEL_SET"));

const CpuFeatures& cpu_features() { return kCpu; }

const KernelSet& best_of_first(size_t count) {
    const KernelSet* best = &kernel_sets()[0];
    for (const KernelSet& s : kernel_sets().first(count))
        if (runs_here(s)) best = &s;
    return *best;
}

}  // namespace

int64_t last_level_cache_bytes() { return cpu_features().lastLevelCacheBytes; }

bool runs_here(const KernelSet& set) { return cpu_features().*set.needs; }

const KernelSet& best_kernel_set(const char* cap) { return best_of_first(sets_up_to(cap)); }

const KernelSet& best_kernel_set() { return best_of_first(kSetsAllowed); }

bool ensure_line_ring(FilterInstance& fi, int32_t w) {
    if (fi.lineRing != nullptr && fi.lineRing->fits(w, kRingSlots)) return true;
    if (fi.lineRing == nullptr) fi.lineRing = new (std::nothrow) kernels::LineRing;
    return fi.lineRing != nullptr && fi.lineRing->make(w, kRingSlots);
}

void release_line_ring(FilterInstance& fi) {
    delete fi.lineRing;
    fi.lineRing = nullptr;
}

namespace {

// Where the route's loop takes its rows from and gives them to: a host's
// hooks, or frames in memory through the default hooks below, so that both
// walk the same loop. Output row i is written at target(i) (over the source's
// words, for a host's ring) and then handed to `hooks.output`.
struct RowWalk {
    RowHooks hooks;
    uint32_t* (*target)(void* context, int32_t row, uint32_t* source);
    // Rows that go straight back to a host stay in the cache: no
    // non-temporal stores, and no plane kept once the kernels read lines.
    bool hostRows;
};

uint32_t* over_source(void*, int32_t, uint32_t* source) { return source; }

// The default hooks: the row walk over frames in memory, the i-th
// lowest-addressed source row to the i-th lowest-addressed destination row.
struct FrameRows {
    const uint8_t* s;
    ptrdiff_t sStep;
    uint8_t* d;
    ptrdiff_t dStep;
};

uint32_t* frame_source(void* context, int32_t row) {
    const FrameRows& f = *static_cast<const FrameRows*>(context);
    // Only read: its target is the destination's row.
    return reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(f.s + row * f.sStep));
}

uint32_t* frame_target(void* context, int32_t row, uint32_t*) {
    const FrameRows& f = *static_cast<const FrameRows*>(context);
    return reinterpret_cast<uint32_t*>(f.d + row * f.dStep);
}

void frame_output(void*, int32_t, const uint32_t*) {}

int run_rows(FilterInstance& fi, int32_t w, int32_t h, const KernelSet& set, const RowWalk& walk) {
    if (w <= 0 || h <= 0) return ensure_luma_plane(fi, 0, 0) ? 0 : 1;
    kernels::PassConstants pc = kernels::make_pass_constants(fi.f1, fi.f2, fi.sharp, fi.interlace, fi.showNoise);
    const int64_t cache = last_level_cache_bytes();
    pc.streamOutput = !walk.hostRows && cache > 0 && static_cast<int64_t>(w) * h * 4 > cache ? 1 : 0;
    kernels::LineRing local;
    const kernels::LineRing* ring = nullptr;
    const kernels::RowKernels& k = kernels_with_ring(set, fi, w, local, ring);
    // Once the kernels read lines nothing reads the plane, so a host's frame
    // lands every row's bytes on its first row, in the cache, and needs no more.
    const bool planeKept = !walk.hostRows || ring == nullptr;
    if (!ensure_luma_plane(fi, w, planeKept ? h : 1)) return 1;
    // Source rows of the rows out at once: the row being written and those
    // built ahead of it, at most reach + 1 = 13.
    static_assert(kHookRows > 6 * 2 + 1, "the host's ring holds every row out at once");
    uint32_t* held[kHookRows] = {};
    // Plane rows are made just ahead of the rows that need them, while the
    // source rows are still in the cache.
    const int64_t reach = 6 * static_cast<int64_t>(pc.step);
    int64_t built = 0;
    const int16_t* lines[kernels::kLineCount] = {};
    for (int32_t j = 0; j < h; ++j) {
        for (const int64_t need = std::min<int64_t>(h, j + reach + 1); built < need; ++built) {
            uint32_t* row = held[built % kHookRows] = walk.hooks.source(walk.hooks.context, static_cast<int32_t>(built));
            k.luma_row(row, w, fi.lumaPlane + (planeKept ? built * w : 0), ring != nullptr ? ring->row(built) : nullptr,
                       ring != nullptr ? ring->multiples(built) : nullptr);
        }
        if (ring != nullptr) ring->lines_of(j, h, pc.step, lines);
        uint32_t* source = held[j % kHookRows];
        uint32_t* out = walk.target(walk.hooks.context, j, source);
        k.denoise_row(kernels::RowJob{fi.lumaPlane, lines, w, h, j, source, out, pc,
                                      ring != nullptr ? ring->multiples(j) : nullptr});
        walk.hooks.output(walk.hooks.context, j, out);
    }
    return 0;
}

int run_frame(FilterInstance& fi, const FrameView& src, const FrameView& dst, const KernelSet& set) {
    const int32_t w = src.w, h = src.h;
    if (w <= 0 || h <= 0) return run_rows(fi, w, h, set, RowWalk{});
    // The same row walk as the reference's copies.
    FrameRows rows{lowest_row(FrameView{src.data, src.pitch, w, h}), src.pitch < 0 ? -src.pitch : src.pitch,
                   lowest_row(FrameView{dst.data, dst.pitch, w, h}), dst.pitch < 0 ? -dst.pitch : dst.pitch};
    if (layout_of(rows.s, rows.sStep, rows.d, rows.dStep, w, h) == Layout::Other)
        return run_reference_route(fi, src, dst);
    return run_rows(fi, w, h, set, RowWalk{RowHooks{&rows, frame_source, frame_output}, frame_target, false});
}

}  // namespace

int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst) {
    return run_frame(fi, src, dst, best_kernel_set());
}

int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst, const KernelSet& set) {
    return run_frame(fi, src, dst, set);
}

int run_fast_route(FilterInstance& fi, int32_t w, int32_t h, const RowHooks& hooks) {
    return run_fast_route(fi, w, h, hooks, best_kernel_set());
}

int run_fast_route(FilterInstance& fi, int32_t w, int32_t h, const RowHooks& hooks, const KernelSet& set) {
    return run_rows(fi, w, h, set, RowWalk{hooks, over_source, true});
}

}  // namespace orv
