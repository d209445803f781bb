// Soak test: one instance through many frames, as a long editing session
// sends them: runs of frames between start and end, every run of another size
// and other settings, each frame checked against the CPU reference. The heap
// must stay flat: after every end it is back where the first run left it, and
// no frame holds more than its working state. Leaks that lose their pointer
// are the leak checker's part (LeakSanitizer or valgrind, which run it).
//
//   orv_soak FRAMES [SEED]
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "fuzz/host_session.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORV_HEAP_FROM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_HEAP_FROM_ASAN 1
#endif
#endif

#ifdef ORV_HEAP_FROM_ASAN
#include <sanitizer/allocator_interface.h>
#elif __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#define ORV_HEAP_FROM_VALGRIND 1
#endif

namespace orv::fuzz {
namespace {

// Bytes allocated and not freed, where the allocator can say so exactly:
// under AddressSanitizer, and under valgrind (whose leak scan counts every
// block still held). glibc's own figures count its per-thread caches as in
// use, so a plain run measures nothing.
std::optional<size_t> heap_in_use() {
#if defined(ORV_HEAP_FROM_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(ORV_HEAP_FROM_VALGRIND)
    if (!RUNNING_ON_VALGRIND) return std::nullopt;
    unsigned long leaked = 0, dubious = 0, reachable = 0, suppressed = 0;
    VALGRIND_DO_QUICK_LEAK_CHECK;
    VALGRIND_COUNT_LEAKS(leaked, dubious, reachable, suppressed);
    return leaked + dubious + reachable + suppressed;
#else
    return std::nullopt;
#endif
}

// What an instance may hold between frames of at most 64 x 64: its luma plane,
// and room for a GPU context and its allocator's bookkeeping.
constexpr size_t kWorkingStateBound = 1u << 20;
// What the heap may drift by between one end and the next without a leak:
// allocator rounding, and buffers of the C library that come and go.
constexpr size_t kDriftBound = 16u << 10;

int soak(uint64_t frames, uint64_t seed) {
    test::ModuleHost host(ORV_MODULE_PATH);
    if (host.register_filter() != 0) fail("the module's init entry failed");
    SeededChoices c(seed);
    HostSession s(host, c, SessionProfile{.minSide = 1, .maxSide = 64, .badHost = false, .instances = 1});

    std::optional<size_t> baseline;
    size_t highest = 0, peak = 0;
    uint64_t runs = 0;
    while (s.frames() < frames) {
        if (runs % 4 == 0 || c.one_in(3)) {
            const bool odd = c.one_in(4);  // now and then, values no dialog can set
            auto value = [&](int32_t lo, int32_t hi) { return odd ? script_value(c) : c.range(lo, hi); };
            const int32_t f1 = value(0, 100), f2 = value(0, 100), sharp = value(0, 6);
            s.config(0, f1, f2, sharp, value(0, 1), c.range(0, 1));
            const int32_t disable = c.one_in(8) ? 1 : 0, showNoise = c.one_in(4) ? 1 : 0;
            s.set_switches(0, disable, showNoise, c.range(0, 1));
        }
        const int32_t w = c.range(1, 64), h = c.range(1, 64);
        s.start(0, w, h);
        for (uint32_t n = 1 + c.below(40); n > 0 && s.frames() < frames; --n) {
            s.run(0, s.frame_spec(w, h));
            const auto used = heap_in_use();
            if (!used || !baseline) continue;
            if (*used > *baseline + kWorkingStateBound)
                fail("the heap holds " + std::to_string(*used - *baseline) + " bytes more during a " +
                     std::to_string(w) + "x" + std::to_string(h) + " run than after the first");
            peak = std::max(peak, *used);
        }
        if (c.one_in(8)) s.strings(0, 256);
        s.end(0);
        ++runs;
        const auto used = heap_in_use();
        if (!used) continue;
        if (!baseline) baseline = used;
        highest = std::max(highest, *used);
        if (*used > *baseline + kDriftBound)
            fail("after run " + std::to_string(runs) + " the heap holds " + std::to_string(*used - *baseline) +
                 " bytes more than after the first");
    }
    s.finish();
    std::printf("soak: %" PRIu64 " frames in %" PRIu64 " runs of one instance\n", s.frames(), runs);
    if (baseline)
        std::printf("soak: heap after the first run %zu bytes, highest after an end %zu, highest during a run %zu\n",
                    *baseline, highest, peak);
    else
        std::printf("soak: heap not measured (no exact count without AddressSanitizer or valgrind)\n");
    return 0;
}

}  // namespace
}  // namespace orv::fuzz

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orv_soak FRAMES [SEED]\n");
        return 2;
    }
    const uint64_t frames = std::strtoull(argv[1], nullptr, 10);
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 0) : 0x50A4;
    try {
        return orv::fuzz::soak(frames, seed);
    } catch (const std::exception& e) {
        orv::fuzz::fail(e.what());
    }
}
