#include "core/fast_route.h"

#include <algorithm>
#include <cstdint>

#include "core/colour.h"
#include "core/cpu_features.h"
#include "core/fast_kernels.h"
#include "core/wrap.h"

namespace orv {

namespace fast {

PassConstants make_pass_constants(int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t showNoise) {
    const Strengths st = make_strengths(f1, f2, sharp);
    return PassConstants{wrap_mul(st.a1, 2000), wrap_mul(st.k1, 2000), wrap_mul(st.a2, 2000),
                         wrap_mul(st.k2, 2000), wrap_neg(st.sharp),    interlace != 0 ? 2 : 1,
                         showNoise};
}

}  // namespace fast

namespace {

const fast::RowKernels& kernels_of(CpuVariant v) {
    static constexpr fast::RowKernels scalar{fast::luma_row_scalar, fast::denoise_row_scalar};
    static constexpr fast::RowKernels avx2{fast::luma_row_avx2, fast::denoise_row_avx2};
    return v == CpuVariant::Avx2 && cpu_variant_runs_here(v) ? avx2 : scalar;
}

// How the destination's rows lie against the source's. The fast route reads a
// source row's words up to the moment it writes the same row's output, so it
// can share memory with the source only row for row.
enum class Layout { Apart, SameRows, Other };

Layout layout_of(const uint8_t* s, ptrdiff_t sStep, const uint8_t* d, ptrdiff_t dStep, int32_t w, int32_t h) {
    const uintptr_t rowBytes = static_cast<uintptr_t>(w) * 4;
    // Words the kernels read and write in place must be whole 32-bit words.
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

}  // namespace

bool cpu_variant_runs_here(CpuVariant v) {
    switch (v) {
        case CpuVariant::Scalar:
            return true;
        case CpuVariant::Avx2: {
            static const bool avx2 = detect_cpu_features().avx2;
            return avx2;
        }
    }
    return false;
}

CpuVariant best_cpu_variant() {
    return cpu_variant_runs_here(CpuVariant::Avx2) ? CpuVariant::Avx2 : CpuVariant::Scalar;
}

const char* cpu_variant_name(CpuVariant v) {
    switch (v) {
        case CpuVariant::Scalar:
            return "scalar";
        case CpuVariant::Avx2:
            return "avx2";
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

    const fast::RowKernels& k = kernels_of(v);
    const fast::PassConstants pc = fast::make_pass_constants(fi.f1, fi.f2, fi.sharp, fi.interlace, fi.showNoise);
    auto srcRow = [&](int64_t i) { return reinterpret_cast<const uint32_t*>(s + i * sStep); };
    // Plane rows are made just ahead of the rows that need them, while the
    // source rows are still in the cache.
    const int64_t reach = 6 * static_cast<int64_t>(pc.step);
    int64_t built = 0;
    for (int32_t j = 0; j < h; ++j) {
        for (const int64_t need = std::min<int64_t>(h, j + reach + 1); built < need; ++built)
            k.luma_row(srcRow(built), w, fi.lumaPlane + built * w);
        k.denoise_row(fast::RowJob{fi.lumaPlane, w, h, j, srcRow(j), reinterpret_cast<uint32_t*>(d + j * dStep), pc});
    }
    return 0;
}

void build_luma_plane_fast(CpuVariant v, const uint32_t* source, int64_t count, uint8_t* plane) {
    const fast::RowKernels& k = kernels_of(v);
    constexpr int64_t kPiece = int64_t{1} << 30;
    for (int64_t i = 0; i < count; i += kPiece)
        k.luma_row(source + i, static_cast<int32_t>(std::min(kPiece, count - i)), plane + i);
}

void denoise_cpu_fast(CpuVariant v, const DenoiseJob& job) {
    const int32_t h = job.height, w = job.width;
    if (h <= 0 || w <= 0) return;
    const fast::RowKernels& k = kernels_of(v);
    const fast::PassConstants pc =
        fast::make_pass_constants(job.f1, job.f2, job.sharp, job.interlace, job.instance->showNoise);
    for (int32_t j = 0; j < h; ++j) {
        const int64_t at = static_cast<int64_t>(j) * w;
        k.denoise_row(fast::RowJob{job.instance->lumaPlane, w, h, j, job.source + at, job.output + at, pc});
    }
}

void rebuild_xrgb_fast(CpuVariant v, const uint32_t* words, const int32_t* S, int32_t count, bool showNoise,
                       uint32_t* out) {
    if (v == CpuVariant::Avx2 && cpu_variant_runs_here(v)) {
        fast::rebuild_words_avx2(words, S, count, showNoise ? 1 : 0, out);
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t o = rebuild_xrgb(words[i], S[i]);
        out[i] = showNoise ? show_noise_word(words[i], o) : o;
    }
}

}  // namespace orv
