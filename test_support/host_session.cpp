#include "test_support/host_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "test_support/gpu_expect.h"
#include "gpu/noise_rules.h"
#include "test_support/fake_cuda/fake_driver.h"
#include "test_support/module_fixture.h"
#include "test_support/random_frames.h"

namespace orv::fuzz {

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

std::string describe(const Settings& s) {
    char b[200];
    std::snprintf(b, sizeof b, "f1=%d f2=%d sharp=%d interlace=%d mt=%d disable=%d showNoise=%d autoProfile=%d", s.f1,
                  s.f2, s.sharp, s.interlace, s.multithreading, s.disable, s.showNoise, s.autoProfile);
    return b;
}

std::string describe(const FrameSpec& f) {
    char b[160];
    std::snprintf(b, sizeof b, "%dx%d pitches %td/%td%s", f.w, f.h, f.srcPitch, f.dstPitch,
                  f.inPlace ? " in place" : "");
    return b;
}

std::string instance_name(int k) { return "instance " + std::to_string(k) + ": "; }

}  // namespace

uint64_t SeededChoices::word() {
    test::SplitMix64 g{state_};
    const uint64_t v = g.next();
    state_ = g.state;
    return v;
}

int32_t script_value(Choices& c) {
    static const int32_t kEdges[] = {
        0,       1,        2,          3,          5,          6,          7,         31,       32,
        33,      69,       70,         99,         100,        101,        255,       256,      1000,
        65535,   65536,    -1,         -2,         -6,         -7,         -32,       -100,     -65536,
        // 10*f and 333*f and 2000*threshold wrap just past these.
        214748364, 214748365, -214748365, 6448914,  6448915,   -6448915,   1073741,   1073742,  -1073742,
        kMin,    kMin + 1, kMax,       kMax - 1,   0x40000000, -0x40000000};
    switch (c.below(4)) {
        case 0:
        case 1: return kEdges[c.below(sizeof kEdges / sizeof kEdges[0])];
        case 2: return c.range(-8, 120);
        default: return static_cast<int32_t>(static_cast<uint32_t>(c.word()));
    }
}

HostSession::HostSession(test::ModuleHost& host, Choices& choices, SessionProfile profile, uint8_t garbage,
                         test::FakeDriver* driver)
    : host_(host), c_(choices), profile_(profile), driver_(driver) {
    // What the device holds between sessions, with no context left idle by
    // an earlier start (the driver's bring-up's, say).
    if (driver_ != nullptr) give_back_idle_contexts();
    forget_driver_history();
    if (driver_ != nullptr) {
        liveAllocations_ = driver_->live("allocations");
        liveStreams_ = driver_->live("streams");
    }
    slots_.resize(static_cast<size_t>(profile.instances < 1 ? 1 : profile.instances));
    for (size_t k = 0; k < slots_.size(); ++k) {
        Slot& s = slots_[k];
        s.in = std::make_unique<test::HostInstance>(host_, static_cast<uint8_t>(garbage + 0x11 * k));
        if (s.in->init() != 0) fail(instance_name(static_cast<int>(k)) + "initProc failed");
        const FilterInstance& fi = s.in->fields();
        s.s = Settings{fi.f1, fi.f2, fi.sharp, fi.interlace, fi.multithreading, fi.disable, fi.showNoise,
                       fi.autoProfile};
        const Settings defaults{70, 70, 2, 0, fi.threadCount > 1 ? 1 : 0, 0, 0, 1};
        if (std::memcmp(&s.s, &defaults, sizeof defaults) != 0 || fi.noiseSigma != 0.0f || fi.gpu != nullptr)
            fail(instance_name(static_cast<int>(k)) + "defaults after initProc: " + describe(s.s));
    }
}

HostSession::~HostSession() = default;

void HostSession::check_fields(int k, const char* after) {
    const Slot& s = slots_[static_cast<size_t>(k)];
    const FilterInstance& fi = s.in->fields();
    const Settings now{fi.f1, fi.f2, fi.sharp, fi.interlace, fi.multithreading, fi.disable, fi.showNoise,
                       fi.autoProfile};
    if (std::memcmp(&now, &s.s, sizeof now) != 0)
        fail(instance_name(k) + "settings changed by " + after + ": " + describe(now) + ", expected " +
             describe(s.s));
}

void HostSession::forget_driver_history() {
    if (driver_ != nullptr) driver_->reset();
}

size_t HostSession::driver_log_size() { return driver_ != nullptr ? driver_->log().size() : 0; }

std::string HostSession::driver_log_since(size_t from) {
    if (driver_ == nullptr) return {};
    const std::string log = driver_->log();
    return from < log.size() ? log.substr(from) : std::string();
}

// What holds after every callback, whatever failed: the kernels touched
// nothing outside their buffers, and the host's thread has no context left
// current.
void HostSession::check_driver(const std::string& what) {
    if (driver_ == nullptr) return;
    if (driver_->faults() != 0) fail(what + "a kernel broke a rule on the emulator:\n" + driver_->log());
    if (driver_->current_depth() != 0) fail(what + "a CUDA context was left current on the host's thread");
}

void HostSession::plan_driver_failure(bool mayLeak) {
    if (driver_ == nullptr) return;
    // Every entry that a start, a frame or an end calls; the last three are
    // those whose failure leaves device memory or a stream behind, since the
    // module can only ask the driver to free them. A failed pop is left out:
    // the fake then keeps the context on its per-thread stack, which would
    // carry over from one fuzz input to the next.
    static const char* const kEntries[] = {
        "cuStreamCreate",       "cuStreamSynchronize",  "cuMemAllocPitch_v2", "cuMemAlloc_v2",
        "cuMemcpy2DAsync_v2",   "cuMemcpyHtoDAsync_v2", "cuMemcpyDtoHAsync_v2", "cuLaunchKernel",
        "cuCtxPushCurrent_v2",  "cuMemFree_v2",         "cuStreamDestroy_v2"};
    constexpr uint32_t kCount = sizeof kEntries / sizeof kEntries[0];
    static const int kStatuses[] = {1, 2, 3, 201, 400, 700, 719, 801, 999};
    const char* entry = kEntries[c_.below(mayLeak ? kCount : kCount - 3)];
    // Mostly one of the next few calls; now and then the entry dies for good.
    const int nth = c_.one_in(8) ? 0 : 1 + static_cast<int>(c_.below(8));
    plan_driver_failure_of(entry, nth, kStatuses[c_.below(sizeof kStatuses / sizeof kStatuses[0])]);
}

void HostSession::plan_driver_failure_of(const char* entry, int nth, int status) {
    if (driver_ != nullptr) driver_->fail_call(entry, nth <= 0 ? 0 : driver_->calls(entry) + nth, status);
}

int32_t HostSession::side() {
    if (profile_.badHost && c_.one_in(64)) {
        static const int32_t kNegative[] = {-1, -2, -300, kMin};
        return kNegative[c_.below(4)];
    }
    // Mostly small, where borders, interlace and row walks meet; now and
    // then up to the largest side, which costs the reference the most time.
    const int32_t lo = profile_.minSide, hi = profile_.maxSide;
    auto upTo = [&](int32_t top) { return c_.range(lo, std::max(lo, std::min(hi, top))); };
    switch (c_.below(16)) {
        case 0:
        case 1:
        case 2:
        case 3: return upTo(4);
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
        case 11: return upTo(16);
        case 12:
        case 13:
        case 14: return upTo(64);
        default: return c_.range(lo, hi);
    }
}

FrameSpec HostSession::frame_spec(int32_t w, int32_t h) {
    FrameSpec f;
    f.w = w;
    f.h = h;
    const ptrdiff_t row = static_cast<ptrdiff_t>(w > 0 ? w : 0) * 4;
    auto pitch = [&] {
        const ptrdiff_t pad = c_.one_in(16) ? 4 * static_cast<ptrdiff_t>(c_.below(1024)) : 4 * c_.below(17);
        const ptrdiff_t p = row + pad;
        return c_.one_in(2) ? -p : p;
    };
    f.srcPitch = pitch();
    f.dstPitch = pitch();
    f.inPlace = profile_.badHost && c_.one_in(16);
    if (f.inPlace) f.dstPitch = f.srcPitch;
    return f;
}

std::vector<uint32_t> HostSession::picture(int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return {};
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    switch (c_.below(4)) {
        case 0: {
            test::SplitMix64 g{c_.word()};
            return test::random_picture(g, w, h);
        }
        case 1: {  // a short tile of chosen words, repeated: stripes, edges, checkers
            std::vector<uint32_t> tile(1 + c_.below(16));
            for (auto& t : tile) t = static_cast<uint32_t>(c_.word());
            std::vector<uint32_t> p(n);
            const size_t stride = c_.one_in(2) ? tile.size() : tile.size() + 1;
            for (size_t i = 0; i < n; ++i) p[i] = tile[(i % stride) % tile.size()];
            return p;
        }
        case 2: {
            test::SplitMix64 g{c_.word()};
            std::vector<uint32_t> p(n);
            for (auto& v : p) v = static_cast<uint32_t>(g.next());
            return p;
        }
        default: return std::vector<uint32_t>(n, static_cast<uint32_t>(c_.word()));
    }
}

void HostSession::config(int k, int32_t f1, int32_t f2, int32_t sharp, int32_t interlace, int32_t mt) {
    Slot& s = slots_[static_cast<size_t>(k)];
    const float sigma = s.in->fields().noiseSigma;
    if (!s.in->config(f1, f2, sharp, interlace, mt)) fail("the module has no Config(5 integers)");
    s.s.f1 = f1;
    s.s.f2 = f2;
    s.s.sharp = sharp;
    s.s.interlace = interlace;
    s.s.multithreading = mt;
    check_fields(k, "Config");
    if (s.in->fields().noiseSigma != sigma) fail(instance_name(k) + "Config changed noiseSigma");
}

void HostSession::raw_config(int k, const std::vector<int32_t>& args, bool nullArgv) {
    Slot& s = slots_[static_cast<size_t>(k)];
    if (!s.in->raw_script_call("Config", args, nullArgv)) fail("the module has no Config");
    const bool none = nullArgv || args.empty();
    // Fewer than five values can't be a Config; the instance keeps its settings.
    if (!none && args.size() >= 5) {
        s.s.f1 = args[0];
        s.s.f2 = args[1];
        s.s.sharp = args[2];
        s.s.interlace = args[3];
        s.s.multithreading = args[4];
    }
    check_fields(k, "a script call");
}

void HostSession::set_switches(int k, int32_t disable, int32_t showNoise, int32_t autoProfile) {
    Slot& s = slots_[static_cast<size_t>(k)];
    FilterInstance& fi = s.in->fields();
    fi.disable = s.s.disable = disable;
    fi.showNoise = s.s.showNoise = showNoise;
    fi.autoProfile = s.s.autoProfile = autoProfile;
}

void HostSession::start(int k, int32_t w, int32_t h) {
    Slot& s = slots_[static_cast<size_t>(k)];
    const FrameSpec f = frame_spec(w, h);
    test::TestFrame src(w, h, f.srcPitch);
    test::TestFrame dst(w, h, f.dstPitch);
    const float sigma = s.in->fields().noiseSigma;
    const size_t logFrom = driver_log_size();
    const int rc = s.in->start(src, dst);
    const std::string log = driver_log_since(logFrom);
    const std::string what = instance_name(k) + "startProc for " + describe(f) + ": ";
    const bool fits = w >= 0 && h >= 0;
    if (rc != (fits ? 0 : 1)) fail(what + "returned " + std::to_string(rc));
    const FilterInstance& fi = s.in->fields();
    if (fits && (fi.lumaPlaneSize != w * h || (w * h > 0 && fi.lumaPlane == nullptr)))
        fail(what + "no plane of " + std::to_string(w * h) + " bytes");
    if (fits && driver_ != nullptr && fi.gpu == nullptr && log.find(" -> ") == std::string::npos)
        fail(what + "no GPU context although the driver refused nothing:\n" + log);
    if (fi.noiseSigma != sigma) fail(what + "noiseSigma changed");
    check_fields(k, "startProc");
    check_driver(what);
    s.started = rc == 0;
    s.startW = w;
    s.startH = h;
}

void HostSession::end(int k) {
    Slot& s = slots_[static_cast<size_t>(k)];
    const float sigma = s.in->fields().noiseSigma;
    const size_t logFrom = driver_log_size();
    const int rc = s.in->end();
    driver_log_since(logFrom);
    const std::string what = instance_name(k) + "endProc: ";
    if (rc != 0) fail(what + "returned " + std::to_string(rc));
    const FilterInstance& fi = s.in->fields();
    if (fi.lumaPlane != nullptr || fi.gpu != nullptr) fail(what + "working state kept");
    if (fi.noiseSigma != sigma) fail(what + "noiseSigma changed");
    check_fields(k, "endProc");
    check_driver(what);
    s.started = false;
}

namespace {

// One frame as run, for the checks of its outcome.
struct RanFrame {
    std::string what;  // the frame, its instance and settings, for failures
    std::string log;   // the driver's calls during the frame
    Settings s;
    FrameSpec f;
    ptrdiff_t dstPitch;
    std::vector<uint32_t> pixels;
    float sigma, sigmaAfter;  // noiseSigma before and after
    bool gpuRoute;    // a context and the filter on
    bool refused;     // the driver failed a call
    bool knownDriver;
};

// Which route the frame may have taken. Without a context, or with the
// filter off, there is one answer. With a context and a driver that refused
// nothing, the GPU route. When the driver refused a call, either route, as
// the call decides: a failed profile leaves the frame to the GPU, a failed
// denoise sends it to the CPU.
void check_noise_estimate(const RanFrame& r) {
    const bool profiles = r.gpuRoute && r.s.autoProfile != 0 && !r.pixels.empty();
    if (!profiles && r.sigmaAfter != r.sigma) fail(r.what + "noiseSigma changed without a noise profile");
    if (!profiles) return;
    const float measured = smoothing_rule(r.sigma, emulated_sigma(r.pixels, r.f.w, r.f.h, r.f.srcPitch));
    const bool kept = r.sigmaAfter == r.sigma;
    if (r.sigmaAfter != measured && !(kept && (r.refused || !r.knownDriver)))
        fail(r.what + "noiseSigma went from " + std::to_string(r.sigma) + " to " + std::to_string(r.sigmaAfter) +
             ", the profile says " + std::to_string(measured) + "\n" + r.log);
}

std::string first_difference(const std::vector<uint32_t>& got, const std::vector<uint32_t>& want, int32_t w) {
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) {
            char b[120];
            std::snprintf(b, sizeof b, "pixel %zu (x %zu, y %zu) is %08X, expected %08X", i,
                          i % static_cast<size_t>(w), i / static_cast<size_t>(w), got[i], want[i]);
            return b;
        }
    return {};
}

// The frame is the pass-through's, the GPU route's or the CPU route's, as
// the route the frame may have taken allows.
void check_picture(const RanFrame& r, const std::vector<uint32_t>& got) {
    const FrameSpec& f = r.f;
    if (r.s.disable != 0) {
        const auto want = (f.srcPitch < 0) != (r.dstPitch < 0) ? test::flip_rows(r.pixels, f.w, f.h) : r.pixels;
        const std::string d = first_difference(got, want, f.w);
        if (!d.empty()) fail(r.what + "pass-through: " + d);
        return;
    }
    for (size_t i = 0; i < got.size(); ++i)
        if ((got[i] >> 24) != 0) fail(r.what + "top byte set in computed pixel " + std::to_string(i));

    std::string gpuDifference;
    if (r.gpuRoute) {
        const AdaptedSettings a = r.s.autoProfile != 0 ? adaptation_rule(r.sigmaAfter, r.s.f1, r.s.f2, r.s.sharp)
                                                        : AdaptedSettings{r.s.f1, r.s.f2, r.s.sharp};
        const KernelArgs args{a.f1, a.f2, a.sharp, r.s.interlace, r.s.showNoise != 0 ? 1 : 0};
        gpuDifference = first_difference(got, emulated_denoise(r.pixels, f.w, f.h, f.srcPitch, r.dstPitch, args), f.w);
        if (gpuDifference.empty()) return;
        if (r.knownDriver && !r.refused) fail(r.what + "GPU route: " + gpuDifference + "\n" + r.log);
    }
    const test::Settings ts{r.s.f1, r.s.f2, r.s.sharp, r.s.interlace, r.s.showNoise};
    const std::string cpuDifference =
        first_difference(got, test::expected_output(r.pixels, f.w, f.h, ts, f.srcPitch, r.dstPitch), f.w);
    if (!cpuDifference.empty())
        fail(r.what + (r.gpuRoute ? "neither route's output: GPU " + gpuDifference + "; CPU " : "CPU route: ") +
             cpuDifference + "\n" + r.log);
}

}  // namespace

void HostSession::run(int k, const FrameSpec& f) {
    Slot& s = slots_[static_cast<size_t>(k)];
    test::TestFrame src(f.w, f.h, f.srcPitch);
    std::unique_ptr<test::TestFrame> ownDst;
    if (!f.inPlace) ownDst = std::make_unique<test::TestFrame>(f.w, f.h, f.dstPitch);
    test::TestFrame& dst = f.inPlace ? src : *ownDst;
    RanFrame r{"", "", s.s, f, f.inPlace ? f.srcPitch : f.dstPitch, picture(f.w, f.h), s.in->fields().noiseSigma,
               0.0f, false, false, driver_ != nullptr};
    src.fill(r.pixels);
    // A frame with no pixels may come with no buffer either.
    if (r.pixels.empty() && profile_.badHost && c_.one_in(2)) {
        src.bitmap().data = nullptr;
        dst.bitmap().data = nullptr;
    }
    const std::vector<uint8_t> srcBefore = src.memory();
    const bool hadGpu = s.in->fields().gpu != nullptr;
    const size_t logFrom = driver_log_size();

    const int rc = s.in->run(src, dst);
    ++frames_;
    r.log = driver_log_since(logFrom);
    r.what = instance_name(k) + describe(f) + ", " + describe(s.s) + ": ";
    if (rc != 0) fail(r.what + "runProc returned " + std::to_string(rc));
    if (!dst.canaries_intact()) fail(r.what + "bytes outside the destination picture written");
    if (!f.inPlace && src.memory() != srcBefore) fail(r.what + "source frame written");
    check_fields(k, "runProc");
    check_driver(r.what);

    r.gpuRoute = hadGpu && s.s.disable == 0;
    r.refused = r.log.find(" -> ") != std::string::npos;
    r.sigmaAfter = s.in->fields().noiseSigma;
    check_noise_estimate(r);
    if (!r.pixels.empty()) check_picture(r, dst.packed());
}

void HostSession::strings(int k, int buflen) {
    Slot& s = slots_[static_cast<size_t>(k)];
    bool result = false;
    const std::string script = s.in->script_string(buflen, &result);
    char full[128];
    std::snprintf(full, sizeof full, "Config(%d,%d,%d,%d,%d)", s.s.f1, s.s.f2, s.s.sharp, s.s.interlace,
                  s.s.multithreading);
    const std::string want = std::string(full).substr(0, static_cast<size_t>(buflen - 1));
    if (!result || script != want)
        fail(instance_name(k) + "fssProc(" + std::to_string(buflen) + ") gave \"" + script + "\", expected \"" +
             want + "\"");
    std::snprintf(full, sizeof full, " (F1-%d,F2-%d,S-%d)", s.s.f1, s.s.f2, s.s.sharp);
    const std::string summary = s.in->summary();
    if (summary != full) fail(instance_name(k) + "stringProc gave \"" + summary + "\", expected \"" + full + "\"");
    check_fields(k, "the string callbacks");
}

void HostSession::careless_strings(int k, int buflen, bool noBuffer) {
    Slot& s = slots_[static_cast<size_t>(k)];
    const FilterDefinition& def = host_.definition();
    FilterActivation& fa = s.in->activation();
    // A buffer that the callbacks may not write at all: no length, or none.
    char guard[300];
    std::memset(guard, 0x7F, sizeof guard);
    char* buf = noBuffer ? nullptr : guard;
    def.fssProc(&fa, &host_.services(), buf, buflen);
    if (noBuffer) def.stringProc(&fa, &host_.services(), nullptr);
    for (char ch : guard)
        if (ch != 0x7F) fail(instance_name(k) + "fssProc wrote into a buffer of length " + std::to_string(buflen));
    check_fields(k, "the string callbacks");
}

void HostSession::step() {
    const int k = static_cast<int>(c_.below(static_cast<uint32_t>(slots_.size())));
    Slot& s = slots_[static_cast<size_t>(k)];
    const bool bad = profile_.badHost;
    switch (c_.below(17)) {
        case 16:
            // Failures that leave device memory behind would pile up from one
            // input to the next, and every later launch checks the guards
            // around every allocation; the GPU tests cover them.
            plan_driver_failure(false);
            return;
        case 0: {
            const int32_t f1 = script_value(c_), f2 = script_value(c_), sharp = script_value(c_);
            const int32_t interlace = c_.one_in(2) ? c_.range(0, 1) : script_value(c_);
            config(k, f1, f2, sharp, interlace, script_value(c_));
            return;
        }
        case 1: {
            auto flag = [&] { return bad && c_.one_in(4) ? script_value(c_) : c_.range(0, 1); };
            const int32_t disable = flag(), showNoise = flag();
            set_switches(k, disable, showNoise, flag());
            return;
        }
        case 2:
            if (s.started && !bad) end(k);
            if (!s.started || bad) start(k, side(), side());
            return;
        case 3:
            if (s.started || bad) end(k);
            return;
        case 4:
            strings_step(k);
            return;
        case 5:
            if (bad) {
                std::vector<int32_t> args(c_.below(8));
                for (auto& a : args) a = script_value(c_);
                raw_config(k, args, c_.one_in(4));
            }
            return;
        default: break;
    }
    frame_step(k);
}

// The string callbacks, with buffers as a careless host may hand them.
void HostSession::strings_step(int k) {
    if (profile_.badHost && c_.one_in(4)) {
        const bool noBuffer = c_.one_in(2);
        careless_strings(k, noBuffer ? script_value(c_) : -static_cast<int>(c_.below(3)), noBuffer);
    } else {
        strings(k, c_.one_in(2) ? 1 + static_cast<int>(c_.below(40)) : 256);
    }
}

// A frame: most often of the size announced at start, as hosts do.
void HostSession::frame_step(int k) {
    Slot& s = slots_[static_cast<size_t>(k)];
    const bool bad = profile_.badHost;
    if (!s.started && !bad) start(k, side(), side());
    int32_t w = s.startW, h = s.startH;
    if (bad && (!s.started || c_.one_in(4))) {
        if (c_.one_in(16)) {  // a long thin frame
            w = c_.range(1, 2048);
            h = c_.range(1, 3);
            if (c_.one_in(2)) std::swap(w, h);
        } else {
            w = side();
            h = side();
        }
    }
    run(k, frame_spec(w, h));
}

void HostSession::finish() {
    for (int k = 0; k < instances(); ++k)
        if (slots_[static_cast<size_t>(k)].started || profile_.badHost) end(k);
    check_device_released();
}

// Ends leave their contexts idle for the next start; the module's deinit
// entry, a host's last word before it unloads the module, frees them.
void HostSession::give_back_idle_contexts() {
    host_.deregister();
    host_.register_filter();
}

void HostSession::check_device_released() {
    if (driver_ == nullptr) return;
    give_back_idle_contexts();
    if (driver_->live("allocations") != liveAllocations_ || driver_->live("streams") != liveStreams_)
        fail("device memory or streams left after every instance ended:\n" + driver_->log());
}

}  // namespace orv::fuzz
