#include "vapoursynth/denoise_node.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "core/fast_route.h"
#include "core/frame_geometry.h"
#include "core/luma_route.h"
#include "gpu/gpu_route.h"
#include "gpu/noise_profile.h"
#include "gpu/noise_rules.h"
#include "vapoursynth/denoise_args.h"
#include "vapoursynth/working_pool.h"
#include "vapoursynth/xrgb_pack.h"

// Two ways to run, chosen when the node is made, both on frames in parallel
// (fmParallel), each frame with a working record of its own:
// - the CPU route keeps nothing from frame to frame;
// - on the GPU route each record holds a GPU context of its own, and with
//   auto_profile frame n's noise estimate is folded from the profiles of
//   frames n-kSigmaWindow..n alone, each measured once and kept by frame
//   number, so that frame n is the same whatever order and threads the core
//   asks in. A frame the GPU fails on takes the CPU route on the same
//   record, as in the module.
// GRAY and YUV clips are filtered on their first plane, the luma, on the CPU
// route; the chroma planes are the source frame's own, shared, not copied.

namespace orv::vs {

namespace {

struct DenoiseNode {
    VSNode* clip = nullptr;
    DenoiseArgs args;
    WorkingPool pool;
    bool gpu = false;   // the GPU route: every record takes a context of its own
    bool luma = false;  // GRAY or YUV: the first plane is filtered
    const XrgbPack* pack = &xrgb_pack_for(best_kernel_set());
    // With auto_profile on the GPU route, every frame's own profile by its
    // number, from the first frame that measured it, kept for the node's
    // life, so that a frame whose window was measured before asks the core
    // for no other frame. 8 bytes a frame, in pages of kProfilePage frames
    // made as their first frame is measured (under 2 MB for an hour at 60
    // frames a second), and a pointer per page of the clip's length: a clip
    // of 2^31 frames costs 4 MB before any is measured.
    std::mutex profileLock;
    std::vector<std::unique_ptr<FrameProfile[]>> profiles;
};

constexpr size_t kProfilePage = 4096;

void free_node(DenoiseNode* d, const VSAPI* vsapi) {
    if (d == nullptr) return;
    if (d->clip != nullptr) vsapi->freeNode(d->clip);
    pool_clear(d->pool);
    delete d;
}

bool windowed(const DenoiseNode& d) { return !d.profiles.empty(); }

// Under the lock: frame n's entry, null past the clip's end or in a page not
// made yet.
FrameProfile* profile_entry(DenoiseNode& d, int n) {
    const size_t page = static_cast<size_t>(n) / kProfilePage;
    if (n < 0 || page >= d.profiles.size() || d.profiles[page] == nullptr) return nullptr;
    return &d.profiles[page][static_cast<size_t>(n) % kProfilePage];
}

// Unmeasured frames are the ones a frame asks the core for; one past the
// clip's end counts as known, so that none is asked for.
bool profile_known(DenoiseNode& d, int n) {
    const std::lock_guard<std::mutex> hold(d.profileLock);
    if (n < 0 || static_cast<size_t>(n) / kProfilePage >= d.profiles.size()) return true;
    const FrameProfile* p = profile_entry(d, n);
    return p != nullptr && p->state != ProfileState::Unknown;
}

// Two frames may measure one frame at once; the first result stands, so
// that every window holding the frame folds the same value. Without memory
// for its page the profile is not kept, and the frame counts as failed.
void keep_profile(DenoiseNode& d, int n, FrameProfile p) {
    const std::lock_guard<std::mutex> hold(d.profileLock);
    const size_t page = static_cast<size_t>(n) / kProfilePage;
    if (n < 0 || page >= d.profiles.size()) return;
    if (d.profiles[page] == nullptr) d.profiles[page].reset(new (std::nothrow) FrameProfile[kProfilePage]());
    FrameProfile* at = profile_entry(d, n);
    if (at != nullptr && at->state == ProfileState::Unknown) *at = p;
}

float window_estimate(DenoiseNode& d, int n) {
    FrameProfile window[kSigmaWindow + 1];
    const int first = window_first(n, kSigmaWindow);
    const std::lock_guard<std::mutex> hold(d.profileLock);
    for (int m = first; m <= n; ++m) {
        const FrameProfile* p = profile_entry(d, m);
        if (p != nullptr) window[m - first] = *p;
    }
    return windowed_sigma(std::span<const FrameProfile>(window, static_cast<size_t>(n - first + 1)), n - first,
                          kSigmaWindow);
}

// A failed profile is kept as failed: the estimate passes over it, as the
// module's does, and no later frame measures it again.
void measure_profile(DenoiseNode& d, FilterInstance& fi, int n, const FrameView& words) {
    if (profile_known(d, n)) return;
    float sigma = 0.0f;
    const bool ok = gpu_profile_noise(fi.gpu, words.data, words.pitch, words.w, words.h, &sigma);
    keep_profile(d, n, FrameProfile{sigma, ok ? ProfileState::Measured : ProfileState::Failed});
}

// Every argument's setting as given; the frame decides interlace, and a node
// is never made with disable set.
void apply_settings(FilterInstance& fi, const DenoiseArgs& a, int32_t interlace) {
    copy_settings(a, fi);
    fi.interlace = interlace;
    fi.disable = 0;
}

// A field-based frame (_FieldBased 1 or 2) has its fields filtered apart
// unless the caller said otherwise, as orv does for interlaced input.
int32_t interlace_for(const DenoiseArgs& a, const VSFrame* f, const VSAPI* vsapi) {
    if (a.interlaceGiven) return a.interlace;
    int err = 0;
    const int64_t fieldBased = vsapi->mapGetInt(vsapi->getFramePropertiesRO(f), "_FieldBased", 0, &err);
    return err == 0 && (fieldBased == 1 || fieldBased == 2) ? 1 : 0;
}

// The GPU route, when the route allows it and a GPU takes a context; that
// record serves the first frame.
std::string start_gpu(DenoiseNode& d, const VSVideoInfo& vi) {
    if (d.args.route == Route::Cpu) return {};
    Working* w = working_new();
    if (w == nullptr) return "out of memory";
    gpu_route_start(w->fi, vi.width, vi.height);
    if (w->fi.gpu != nullptr) {
        d.gpu = true;
        pool_give(d.pool, w);
        if (d.args.autoProfile != 0 && vi.numFrames > 0)
            d.profiles.resize((static_cast<size_t>(vi.numFrames) + kProfilePage - 1) / kProfilePage);
        return {};
    }
    working_delete(w);
    if (d.args.route == Route::Gpu)
        return "route=\"gpu\" found no usable GPU (no NVIDIA driver or device, or CUDA_VISIBLE_DEVICES hides it)";
    return {};
}

// With disable set the node is never made (the clip itself is handed back),
// so nothing after the arguments is asked of it.
std::string make_node(const VSMap* in, const VSAPI* vsapi, DenoiseNode& d) {
    d.clip = vsapi->mapGetNode(in, "clip", 0, nullptr);
    const VSVideoInfo& vi = *vsapi->getVideoInfo(d.clip);
    std::string error;
    if (!read_denoise_args(in, vsapi, d.args, error)) return error;
    if (d.args.disable != 0) return {};
    error = refuse_format(vi, vsapi);
    if (!error.empty()) return error;
    d.luma = takes_luma_plane(vi.format);
    if (d.luma) return refuse_luma_settings(d.args);
    return start_gpu(d, vi);
}

// The rows of one frame on their way: planes to words and back, through
// `words`, a frame of them on the GPU route, a ring of kHookRows rows on the
// CPU route.
struct RowCopy {
    const uint8_t* src[3];
    ptrdiff_t srcStride;
    uint8_t* dst[3];
    ptrdiff_t dstStride;
    uint32_t* words;
    const XrgbPack* pack;
    int32_t w;
    int32_t ringRows;  // 0 for a whole frame
};

uint32_t* words_of(const RowCopy& c, int32_t y) {
    return c.words + static_cast<ptrdiff_t>(c.ringRows > 0 ? y % c.ringRows : y) * c.w;
}

uint32_t* pack_row(void* context, int32_t y) {
    const RowCopy& c = *static_cast<const RowCopy*>(context);
    const ptrdiff_t at = y * c.srcStride;
    uint32_t* words = words_of(c, y);
    c.pack->pack(c.src[0] + at, c.src[1] + at, c.src[2] + at, words, c.w);
    return words;
}

void unpack_row(void* context, int32_t y, const uint32_t* words) {
    const RowCopy& c = *static_cast<const RowCopy*>(context);
    const ptrdiff_t at = y * c.dstStride;
    c.pack->unpack(words, c.dst[0] + at, c.dst[1] + at, c.dst[2] + at, c.w);
}

// Frame n, and the source frames the core holds for it.
struct FrameAt {
    int n;
    VSFrameContext* ctx;
    const VSAPI* vsapi;
};

// A source frame's rows packed whole into wk.xrgb, for its profile.
FrameView pack_frame(const DenoiseNode& d, Working& wk, const VSFrame* f, const VSAPI* vsapi) {
    const int w = vsapi->getFrameWidth(f, 0), h = vsapi->getFrameHeight(f, 0);
    wk.xrgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    RowCopy rows{{vsapi->getReadPtr(f, 0), vsapi->getReadPtr(f, 1), vsapi->getReadPtr(f, 2)},
                       vsapi->getStride(f, 0),
                       {},
                       0,
                       wk.xrgb.data(),
                       d.pack,
                       w,
                       0};
    for (int32_t y = 0; y < h; ++y) pack_row(&rows, y);
    return FrameView{reinterpret_cast<uint8_t*>(wk.xrgb.data()), static_cast<ptrdiff_t>(w) * 4, w, h};
}

// The frames before n in its window that no frame has measured yet; the
// core holds them for this frame (asked for with it).
void profile_window(DenoiseNode& d, Working& wk, const FrameAt& at) {
    for (int m = window_first(at.n, kSigmaWindow); m < at.n; ++m) {
        if (profile_known(d, m)) continue;
        const VSFrame* f = at.vsapi->getFrameFilter(m, d.clip, at.ctx);
        if (f == nullptr) continue;
        try {
            measure_profile(d, wk.fi, m, pack_frame(d, wk, f, at.vsapi));
        } catch (...) {
            at.vsapi->freeFrame(f);
            throw;
        }
        at.vsapi->freeFrame(f);
    }
}

// The CPU route converts each row as it reaches it, while the row is in the
// cache; the GPU route takes the frame whole, and so does the CPU route
// after a GPU failure.
bool run_route(DenoiseNode& d, Working& wk, RowCopy& rows, int32_t h, const FrameAt& at) {
    FilterInstance& fi = wk.fi;
    const int32_t w = rows.w;
    if (!ensure_line_ring(fi, w)) return false;
    if (!d.gpu) {
        wk.xrgb.resize(static_cast<size_t>(w) * kHookRows);
        rows.words = wk.xrgb.data();
        rows.ringRows = kHookRows;
        return run_fast_route(fi, w, h, RowHooks{&rows, pack_row, unpack_row}) == 0;
    }
    // One context for each frame filtered at once; a record that found none
    // tries again with its next frame.
    if (fi.gpu == nullptr) gpu_route_start(fi, w, h);
    const bool profiled = fi.autoProfile != 0 && fi.gpu != nullptr && windowed(d);
    if (profiled) profile_window(d, wk, at);
    wk.xrgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    rows.words = wk.xrgb.data();
    const FrameView view{reinterpret_cast<uint8_t*>(rows.words), static_cast<ptrdiff_t>(w) * 4, w, h};
    for (int32_t y = 0; y < h; ++y) pack_row(&rows, y);
    float estimate = 0.0f;
    if (profiled) {
        measure_profile(d, fi, at.n, view);
        estimate = window_estimate(d, at.n);
    }
    if (!gpu_route_run_estimated(fi, estimate, view, view) && run_fast_route(fi, view, view) != 0) return false;
    for (int32_t y = 0; y < h; ++y) unpack_row(&rows, y, words_of(rows, y));
    return true;
}

// A new frame with the source's properties and the denoised picture. Null
// with `error` set on a failure.
VSFrame* denoise_frame(DenoiseNode& d, Working& wk, const VSFrame* src, const FrameAt& at, VSCore* core,
                       const VSAPI* vsapi, const char*& error) {
    const int w = vsapi->getFrameWidth(src, 0), h = vsapi->getFrameHeight(src, 0);
    apply_settings(wk.fi, d.args, interlace_for(d.args, src, vsapi));
    VSFrame* dst = vsapi->newVideoFrame(vsapi->getVideoFrameFormat(src), w, h, src, core);
    if (dst == nullptr) {
        error = "the core gave no frame to write";
        return nullptr;
    }
    RowCopy rows{{vsapi->getReadPtr(src, 0), vsapi->getReadPtr(src, 1), vsapi->getReadPtr(src, 2)},
                 vsapi->getStride(src, 0),
                 {vsapi->getWritePtr(dst, 0), vsapi->getWritePtr(dst, 1), vsapi->getWritePtr(dst, 2)},
                 vsapi->getStride(dst, 0),
                 nullptr,
                 d.pack,
                 w,
                 0};
    bool done = false;
    try {
        done = run_route(d, wk, rows, h, at);
    } catch (...) {
    }
    if (done) return dst;
    vsapi->freeFrame(dst);
    error = "out of memory";
    return nullptr;
}

// Chroma at its neutral value, 2^(bits-1), for the show-noise picture.
void neutral_chroma(VSFrame* f, const VSVideoFormat& fmt, const VSAPI* vsapi) {
    for (int p = 1; p < fmt.numPlanes; ++p) {
        uint8_t* row = vsapi->getWritePtr(f, p);
        const int w = vsapi->getFrameWidth(f, p), h = vsapi->getFrameHeight(f, p);
        for (int y = 0; y < h; ++y, row += vsapi->getStride(f, p)) {
            if (fmt.bytesPerSample == 1) {
                std::memset(row, 128, static_cast<size_t>(w));
            } else {
                const uint16_t mid = static_cast<uint16_t>(1u << (fmt.bitsPerSample - 1));
                for (int x = 0; x < w; ++x) std::memcpy(row + 2 * x, &mid, 2);
            }
        }
    }
}

// A GRAY or YUV frame: its luma plane denoised into a new plane, its chroma
// planes the source's (or neutral, showing the noise).
VSFrame* denoise_luma_frame(DenoiseNode& d, Working& wk, const VSFrame* src, VSCore* core, const VSAPI* vsapi,
                            const char*& error) {
    const VSVideoFormat& fmt = *vsapi->getVideoFrameFormat(src);
    const int w = vsapi->getFrameWidth(src, 0), h = vsapi->getFrameHeight(src, 0);
    const LumaSettings s{d.args.f1, d.args.f2, d.args.sharp, interlace_for(d.args, src, vsapi), d.args.showNoise};
    const VSFrame* planeSrc[3] = {nullptr, src, src};
    const int planes[3] = {0, 1, 2};
    VSFrame* dst = s.showNoise != 0 || fmt.numPlanes == 1
                       ? vsapi->newVideoFrame(&fmt, w, h, src, core)
                       : vsapi->newVideoFrame2(&fmt, w, h, planeSrc, planes, src, core);
    if (dst == nullptr) {
        error = "the core gave no frame to write";
        return nullptr;
    }
    if (s.showNoise != 0) neutral_chroma(dst, fmt, vsapi);
    const LumaPlanes p{vsapi->getReadPtr(src, 0), vsapi->getStride(src, 0), vsapi->getWritePtr(dst, 0),
                       vsapi->getStride(dst, 0), w, h, fmt.bitsPerSample};
    if (run_luma_route(p, s, best_kernel_set(), wk.luma) == 0) return dst;
    vsapi->freeFrame(dst);
    error = "out of memory";
    return nullptr;
}

VSFrame* filter_frame(DenoiseNode& d, const VSFrame* src, const FrameAt& at, VSCore* core, const VSAPI* vsapi,
                      const char*& error) {
    Working* wk = pool_take(d.pool);
    if (wk == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    VSFrame* dst = d.luma ? denoise_luma_frame(d, *wk, src, core, vsapi, error)
                          : denoise_frame(d, *wk, src, at, core, vsapi, error);
    pool_give(d.pool, wk);
    return dst;
}

const VSFrame* VS_CC denoise_get_frame(int n, int reason, void* data, void**, VSFrameContext* ctx, VSCore* core,
                                       const VSAPI* vsapi) noexcept {
    auto* d = static_cast<DenoiseNode*>(data);
    if (reason == arInitial) {
        // Frames of the window that no frame has measured yet; one measured
        // now stays measured, so every frame asked for here is still
        // unmeasured or known when this frame runs.
        if (windowed(*d))
            for (int m = window_first(n, kSigmaWindow); m < n; ++m)
                if (!profile_known(*d, m)) vsapi->requestFrameFilter(m, d->clip, ctx);
        vsapi->requestFrameFilter(n, d->clip, ctx);
        return nullptr;
    }
    if (reason != arAllFramesReady) return nullptr;
    const VSFrame* src = vsapi->getFrameFilter(n, d->clip, ctx);
    const char* error = nullptr;
    VSFrame* dst = filter_frame(*d, src, FrameAt{n, ctx, vsapi}, core, vsapi, error);
    vsapi->freeFrame(src);
    if (dst == nullptr) {
        char line[160];
        std::snprintf(line, sizeof line, "Denoise: frame %d could not be denoised: %s", n, error);
        vsapi->setFilterError(line, ctx);
    }
    return dst;
}

void VS_CC denoise_free(void* data, VSCore*, const VSAPI* vsapi) noexcept {
    free_node(static_cast<DenoiseNode*>(data), vsapi);
}

}  // namespace

void VS_CC denoise_create(const VSMap* in, VSMap* out, void*, VSCore* core, const VSAPI* vsapi) noexcept {
    DenoiseNode* d = nullptr;
    std::string error;
    try {
        d = new DenoiseNode;
        error = make_node(in, vsapi, *d);
    } catch (...) {
        error = "out of memory";
    }
    if (d == nullptr || !error.empty()) {
        // mapSetError copies the line; made without allocating, it can't fail.
        char line[1024];
        std::snprintf(line, sizeof line, "Denoise: %s", error.c_str());
        vsapi->mapSetError(out, line);
        free_node(d, vsapi);
        return;
    }
    // Pass-through is the clip itself: every frame as it came, no node between.
    if (d->args.disable != 0) {
        vsapi->mapConsumeNode(out, "clip", d->clip, maReplace);
        d->clip = nullptr;
        free_node(d, vsapi);
        return;
    }
    // A frame's window reaches back to frames before it.
    const VSFilterDependency dep{d->clip, windowed(*d) ? rpGeneral : rpStrictSpatial};
    vsapi->createVideoFilter(out, "Denoise", vsapi->getVideoInfo(d->clip), denoise_get_frame, denoise_free,
                             fmParallel, &dep, 1, d, core);
}

}  // namespace orv::vs
