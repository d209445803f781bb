#include "core/fast_route.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/colour.h"
#include "core/cpu_features.h"

namespace orv {

namespace kernels {

const RowKernels& row_kernels(CpuVariant v) {
    static constexpr RowKernels reference{luma_row_reference, corrections_row_reference, rebuild_row_reference,
                                          denoise_row_reference, false};
    static constexpr RowKernels avx2{luma_row_avx2, corrections_row_avx2, rebuild_row_avx2, denoise_row_avx2, true};
    static constexpr RowKernels avx512{luma_row_avx512, corrections_row_avx512, rebuild_row_avx512,
                                       denoise_row_avx512, true};
    static constexpr RowKernels avx512vnni{luma_row_avx512vnni, corrections_row_avx512vnni, rebuild_row_avx512vnni,
                                           denoise_row_avx512vnni, true};
    if (!cpu_variant_runs_here(v)) return reference;
    switch (v) {
        case CpuVariant::Reference:
            return reference;
        case CpuVariant::Avx2:
            return avx2;
        case CpuVariant::Avx512:
            return avx512;
        case CpuVariant::Avx512Vnni:
            return avx512vnni;
    }
    return reference;
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

// 16-bit copies of the plane rows within reach of the row being denoised,
// for the kernels that read them: 12 vertical steps + 1 rows, reused in turn.
// The instance record has no room to keep it from frame to frame (the host
// allocates that record at a fixed size), so it is made per frame: about
// 50 KB at 1080p (100 KB interlaced), where the reference makes two 8 MB
// scratch frames.
struct WideRing {
    int16_t* data = nullptr;
    int64_t stride = 0;
    int64_t slots = 0;
    WideRing() = default;
    WideRing(const WideRing&) = delete;
    WideRing& operator=(const WideRing&) = delete;
    ~WideRing() { std::free(data); }
    int16_t* row(int64_t r) const { return data + (r % slots) * stride; }
};

bool make_ring(WideRing& ring, int32_t w, int32_t step) {
    ring.stride = (static_cast<int64_t>(w) + 15) / 16 * 16;
    ring.slots = 12 * static_cast<int64_t>(step) + 1;
    ring.data = static_cast<int16_t*>(std::malloc(static_cast<size_t>(ring.stride * ring.slots) * sizeof(int16_t)));
    return ring.data != nullptr;
}

// The variant's kernels with the ring they read made; when it can't be made,
// the reference kernels, which need nothing beyond the plane.
const kernels::RowKernels& kernels_with_ring(CpuVariant v, WideRing& ring, int32_t w, int32_t step) {
    const kernels::RowKernels& k = kernels::row_kernels(v);
    if (!k.readsLines || make_ring(ring, w, step)) return k;
    return kernels::row_kernels(CpuVariant::Reference);
}

void ring_lines(const WideRing& ring, int32_t j, int32_t h, int32_t step, const int16_t* (&lines)[kernels::kLineCount]) {
    for (int t = 0; t < kernels::kLineCount; ++t) {
        const int64_t r = static_cast<int64_t>(j) + static_cast<int64_t>(t - kernels::kLineCount / 2) * step;
        lines[t] = r >= 0 && r < h ? ring.row(r) : nullptr;
    }
}

}  // namespace

bool cpu_variant_runs_here(CpuVariant v) {
    static const CpuFeatures cpu = detect_cpu_features();
    switch (v) {
        case CpuVariant::Reference:
            return true;
        case CpuVariant::Avx2:
            return cpu.avx2;
        case CpuVariant::Avx512:
            return cpu.avx512;
        case CpuVariant::Avx512Vnni:
            return cpu.avx512vnni;
    }
    return false;
}

CpuVariant best_cpu_variant() {
    CpuVariant best = CpuVariant::Reference;
    for (CpuVariant v : kAllCpuVariants)
        if (cpu_variant_runs_here(v)) best = v;
    return best;
}

const char* cpu_variant_name(CpuVariant v) {
    switch (v) {
        case CpuVariant::Reference:
            return "reference";
        case CpuVariant::Avx2:
            return "avx2";
        case CpuVariant::Avx512:
            return "avx512";
        case CpuVariant::Avx512Vnni:
            return "avx512vnni";
    }
    return "?";
}

int run_cpu_route_fast(FilterInstance& fi, const FrameView& src, const FrameView& dst) {
    return run_cpu_route_fast(fi, src, dst, best_cpu_variant());
}

int run_cpu_route_fast(FilterInstance& fi, const FrameView& src, const FrameView& dst, CpuVariant v) {
    const int32_t w = src.w, h = src.h;
    const bool empty = w <= 0 || h <= 0;
    if (!ensure_luma_plane(fi, empty ? 0 : w, empty ? 0 : h)) return 1;
    if (empty) return 0;
    // The same row walk as the reference's copies: the i-th lowest-addressed
    // source row becomes plane row i and goes to the i-th lowest-addressed
    // destination row.
    const uint8_t* s = lowest_row(FrameView{src.data, src.pitch, w, h});
    uint8_t* d = lowest_row(FrameView{dst.data, dst.pitch, w, h});
    const ptrdiff_t sStep = src.pitch < 0 ? -src.pitch : src.pitch;
    const ptrdiff_t dStep = dst.pitch < 0 ? -dst.pitch : dst.pitch;
    if (layout_of(s, sStep, d, dStep, w, h) == Layout::Other) return run_cpu_route(fi, src, dst);

    const kernels::PassConstants pc = kernels::make_pass_constants(fi.f1, fi.f2, fi.sharp, fi.interlace, fi.showNoise);
    WideRing ring;
    const kernels::RowKernels& k = kernels_with_ring(v, ring, w, pc.step);
    auto srcRow = [&](int64_t i) { return reinterpret_cast<const uint32_t*>(s + i * sStep); };
    // Plane rows are made just ahead of the rows that need them, while the
    // source rows are still in the cache.
    const int64_t reach = 6 * static_cast<int64_t>(pc.step);
    int64_t built = 0;
    const int16_t* lines[kernels::kLineCount] = {};
    for (int32_t j = 0; j < h; ++j) {
        for (const int64_t need = std::min<int64_t>(h, j + reach + 1); built < need; ++built)
            k.luma_row(srcRow(built), w, fi.lumaPlane + built * w, k.readsLines ? ring.row(built) : nullptr);
        if (k.readsLines) ring_lines(ring, j, h, pc.step, lines);
        k.denoise_row(
            kernels::RowJob{fi.lumaPlane, lines, w, h, j, srcRow(j), reinterpret_cast<uint32_t*>(d + j * dStep), pc});
    }
    return 0;
}

}  // namespace orv
