#include "core/fast_route.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/colour.h"
#include "core/cpu_features.h"
#include "core/fast_kernels.h"
#include "core/wrap.h"

namespace orv {

namespace fast {

PassConstants make_pass_constants(int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t showNoise) {
    const Strengths st = make_strengths(f1, f2, sharp);
    // |a| + |k|*max(E) <= 10^6 keeps (a - k*E)*2000 within 32 bits for every
    // E (0..1530); it also means 10*f and 333*f did not wrap.
    auto small = [](int32_t f) {
        const int64_t a = 10 * static_cast<int64_t>(f), k = 333 * static_cast<int64_t>(f) / 1000;
        return (a < 0 ? -a : a) + 1530 * (k < 0 ? -k : k) <= 1000000;
    };
    const bool tenth = small(f1) && small(f2);
    PassConstants pc{};
    pc.a1x2000 = wrap_mul(st.a1, 2000), pc.k1x2000 = wrap_mul(st.k1, 2000);
    pc.a2x2000 = wrap_mul(st.a2, 2000), pc.k2x2000 = wrap_mul(st.k2, 2000);
    pc.tenthThresholds = tenth ? 1 : 0;
    if (tenth) {
        pc.a1x200 = st.a1 * 200, pc.k1x200 = st.k1 * 200;
        pc.a2x200 = st.a2 * 200, pc.k2x200 = st.k2 * 200;
    }
    pc.negSharp = wrap_neg(st.sharp);
    pc.step = interlace != 0 ? 2 : 1;
    pc.showNoise = showNoise;
    return pc;
}

}  // namespace fast

namespace {

const fast::RowKernels& kernels_of(CpuVariant v) {
    static constexpr fast::RowKernels scalar{fast::luma_row_scalar, fast::denoise_row_scalar, false};
    static constexpr fast::RowKernels avx2{fast::luma_row_avx2, fast::denoise_row_avx2, true};
    static constexpr fast::RowKernels avx512{fast::luma_row_avx512, fast::denoise_row_avx512, true};
    if (!cpu_variant_runs_here(v)) return scalar;
    switch (v) {
        case CpuVariant::Scalar:
            return scalar;
        case CpuVariant::Avx2:
            return avx2;
        case CpuVariant::Avx512:
            return avx512;
    }
    return scalar;
}

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
// the portable kernels, which need nothing beyond the plane.
const fast::RowKernels& kernels_with_ring(CpuVariant v, WideRing& ring, int32_t w, int32_t step) {
    const fast::RowKernels& k = kernels_of(v);
    if (!k.readsLines || make_ring(ring, w, step)) return k;
    return kernels_of(CpuVariant::Scalar);
}

void ring_lines(const WideRing& ring, int32_t j, int32_t h, int32_t step, const int16_t* (&lines)[fast::kLineCount]) {
    for (int t = 0; t < fast::kLineCount; ++t) {
        const int64_t r = static_cast<int64_t>(j) + static_cast<int64_t>(t - fast::kLineCount / 2) * step;
        lines[t] = r >= 0 && r < h ? ring.row(r) : nullptr;
    }
}

}  // namespace

bool cpu_variant_runs_here(CpuVariant v) {
    static const CpuFeatures cpu = detect_cpu_features();
    switch (v) {
        case CpuVariant::Scalar:
            return true;
        case CpuVariant::Avx2:
            return cpu.avx2;
        case CpuVariant::Avx512:
            return cpu.avx512;
    }
    return false;
}

CpuVariant best_cpu_variant() {
    CpuVariant best = CpuVariant::Scalar;
    for (CpuVariant v : kAllCpuVariants)
        if (cpu_variant_runs_here(v)) best = v;
    return best;
}

const char* cpu_variant_name(CpuVariant v) {
    switch (v) {
        case CpuVariant::Scalar:
            return "scalar";
        case CpuVariant::Avx2:
            return "avx2";
        case CpuVariant::Avx512:
            return "avx512";
    }
    return "?";
}

int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst) {
    return run_fast_route(fi, src, dst, best_cpu_variant());
}

int run_fast_route(FilterInstance& fi, const FrameView& src, const FrameView& dst, CpuVariant v) {
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
    if (layout_of(s, sStep, d, dStep, w, h) == Layout::Other) return run_reference_route(fi, src, dst);

    const fast::PassConstants pc = fast::make_pass_constants(fi.f1, fi.f2, fi.sharp, fi.interlace, fi.showNoise);
    WideRing ring;
    const fast::RowKernels& k = kernels_with_ring(v, ring, w, pc.step);
    auto srcRow = [&](int64_t i) { return reinterpret_cast<const uint32_t*>(s + i * sStep); };
    // Plane rows are made just ahead of the rows that need them, while the
    // source rows are still in the cache.
    const int64_t reach = 6 * static_cast<int64_t>(pc.step);
    int64_t built = 0;
    const int16_t* lines[fast::kLineCount] = {};
    for (int32_t j = 0; j < h; ++j) {
        for (const int64_t need = std::min<int64_t>(h, j + reach + 1); built < need; ++built)
            k.luma_row(srcRow(built), w, fi.lumaPlane + built * w, k.readsLines ? ring.row(built) : nullptr);
        if (k.readsLines) ring_lines(ring, j, h, pc.step, lines);
        k.denoise_row(
            fast::RowJob{fi.lumaPlane, lines, w, h, j, srcRow(j), reinterpret_cast<uint32_t*>(d + j * dStep), pc});
    }
    return 0;
}

void build_luma_plane_fast(CpuVariant v, const uint32_t* source, int64_t count, uint8_t* plane) {
    const fast::RowKernels& k = kernels_of(v);
    constexpr int64_t kPiece = int64_t{1} << 30;
    for (int64_t i = 0; i < count; i += kPiece)
        k.luma_row(source + i, static_cast<int32_t>(std::min(kPiece, count - i)), plane + i, nullptr);
}

void denoise_cpu_fast(CpuVariant v, const DenoiseJob& job) {
    const int32_t h = job.height, w = job.width;
    if (h <= 0 || w <= 0) return;
    const fast::PassConstants pc =
        fast::make_pass_constants(job.f1, job.f2, job.sharp, job.interlace, job.instance->showNoise);
    const uint8_t* plane = job.instance->lumaPlane;
    WideRing ring;
    const fast::RowKernels& k = kernels_with_ring(v, ring, w, pc.step);
    const int64_t reach = 6 * static_cast<int64_t>(pc.step);
    int64_t widened = 0;
    const int16_t* lines[fast::kLineCount] = {};
    for (int32_t j = 0; j < h; ++j) {
        if (k.readsLines) {
            for (const int64_t need = std::min<int64_t>(h, j + reach + 1); widened < need; ++widened)
                std::copy(plane + widened * w, plane + (widened + 1) * w, ring.row(widened));
            ring_lines(ring, j, h, pc.step, lines);
        }
        const int64_t at = static_cast<int64_t>(j) * w;
        k.denoise_row(fast::RowJob{plane, lines, w, h, j, job.source + at, job.output + at, pc});
    }
}

void rebuild_xrgb_fast(CpuVariant v, const uint32_t* words, const int32_t* S, int32_t count, bool showNoise,
                       uint32_t* out) {
    if (cpu_variant_runs_here(v) && v != CpuVariant::Scalar) {
        (v == CpuVariant::Avx2 ? fast::rebuild_words_avx2 : fast::rebuild_words_avx512)(words, S, count,
                                                                                      showNoise ? 1 : 0, out);
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t o = rebuild_xrgb(words[i], S[i]);
        out[i] = showNoise ? show_noise_word(words[i], o) : o;
    }
}

}  // namespace orv
