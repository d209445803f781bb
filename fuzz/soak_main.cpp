// Soak test: one instance through many frames, as a long editing session
// sends them: runs of frames between start and end, every run of another size
// and other settings, each frame checked against the CPU reference. The heap
// must stay flat: after every end it is back where the first run left it, and
// no frame holds more than its working state. Leaks that lose their pointer
// are the leak checker's part (LeakSanitizer or valgrind, which run it).
//
//   orv_soak FRAMES [SEED]
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <exception>
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
#else
#include <malloc.h>
#endif

namespace orv::fuzz {
namespace {

size_t heap_in_use() {
#ifdef ORV_HEAP_FROM_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
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

    size_t baseline = 0, highest = 0, peak = 0;
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
        const int32_t w = s.side(), h = s.side();
        s.start(0, w, h);
        for (uint32_t n = 1 + c.below(40); n > 0 && s.frames() < frames; --n) {
            s.run(0, s.frame_spec(w, h));
            const size_t used = heap_in_use();
            if (runs > 0 && used > baseline + kWorkingStateBound)
                fail("the heap holds " + std::to_string(used - baseline) + " bytes more during a " + std::to_string(w) +
                     "x" + std::to_string(h) + " run than after the first");
            if (used > peak) peak = used;
        }
        if (c.one_in(8)) s.strings(0, 256);
        s.end(0);
        const size_t used = heap_in_use();
        if (runs == 0) baseline = used;
        if (used > highest) highest = used;
        if (used > baseline + kDriftBound)
            fail("after run " + std::to_string(runs + 1) + " the heap holds " + std::to_string(used - baseline) +
                 " bytes more than after the first");
        ++runs;
    }
    s.finish();
    std::printf("soak: %" PRIu64 " frames in %" PRIu64 " runs; heap after the first run %zu bytes, highest after "
                "an end %zu, highest during a run %zu\n",
                s.frames(), runs, baseline, highest, peak);
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
