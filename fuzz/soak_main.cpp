// Soak test: one instance through many frames, as a long editing session
// sends them: runs of frames between start and end, every run of another size
// and other settings, each frame checked against the route it took. With the
// fake CUDA driver on the library path the frames go through the GPU route,
// and now and then a driver call fails.
//
// The heap must stay flat: after each end, the later half of the runs holds no
// more than the earlier half did (which has seen every one-time allocation,
// such as the fake driver's log reaching its longest), and no frame holds more
// than its working state. Leaks that lose their pointer are the leak
// checker's job (LeakSanitizer or valgrind, which run it).
//
//   orv_soak FRAMES [SEED]
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "test_support/host_session.h"
#include "test_support/fake_cuda/fake_driver.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORV_HEAP_FROM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_HEAP_FROM_ASAN 1
#endif
#endif

#ifdef ORV_HEAP_FROM_ASAN
// The sanitizer runtime's count; gcc ships no header that declares it.
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
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
// a GPU context with its device buffers in the fake driver, and the driver's
// log of a run of frames.
constexpr size_t kWorkingStateBound = 1u << 20;
// What the heap may drift by from the earlier half of the runs to the later
// half without a leak: allocator rounding, buffers that come and go. A leak of
// some 70 bytes a run over 250 runs exceeds it.
constexpr size_t kDriftBound = 16u << 10;
// One run in this many has a GPU context.
constexpr uint32_t kGpuRuns = 4;

// The fake driver when it is the libcuda.so.1 on the library path.
std::unique_ptr<test::FakeDriver> fake_driver() {
    try {
        return std::make_unique<test::FakeDriver>();
    } catch (const std::exception& e) {
        std::printf("soak: CPU route only (%s)\n", e.what());
        return nullptr;
    }
}

int soak(uint64_t frames, uint64_t seed) {
    const std::unique_ptr<test::FakeDriver> driver = fake_driver();
    test::ModuleHost host(ORV_MODULE_PATH);
    if (host.register_filter() != 0) fail("the module's init entry failed");
    SeededChoices c(seed);
    HostSession s(host, c, SessionProfile{.minSide = 1, .maxSide = 64, .badHost = false, .instances = 1}, 0xA5,
                  driver.get());

    std::optional<size_t> first;
    std::vector<size_t> afterEnd;
    afterEnd.reserve(frames);  // a run has a frame at least; no growth to count
    size_t peak = 0;
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
        // The driver's log and counts start afresh with each call, so that
        // the log's own buffer stays as small as one call needs.
        s.forget_driver_history();
        // Most runs go without a GPU context (the emulator that stands in for
        // the device is slow), some lose the driver on the way.
        if (kGpuRuns > 0 && !c.one_in(kGpuRuns)) s.plan_driver_failure_of("cuStreamCreate", 0);
        if (c.one_in(16)) s.plan_driver_failure(false);
        s.start(0, w, h);
        for (uint32_t n = 1 + c.below(40); n > 0 && s.frames() < frames; --n) {
            s.forget_driver_history();
            if (c.one_in(24)) s.plan_driver_failure(false);
            s.run(0, s.frame_spec(w, h));
            const auto used = heap_in_use();
            if (!used || !first) continue;
            if (*used > *first + kWorkingStateBound)
                fail("the heap holds " + std::to_string(*used - *first) + " bytes more during a " + std::to_string(w) +
                     "x" + std::to_string(h) + " run than after the first run");
            peak = std::max(peak, *used);
        }
        if (c.one_in(8)) s.strings(0, 256);
        s.forget_driver_history();
        s.end(0);
        s.check_device_released();
        ++runs;
        if (const auto used = heap_in_use()) {
            afterEnd.push_back(*used);
            if (std::getenv("ORV_SOAK_TRACE") != nullptr)
                std::fprintf(stderr, "run %" PRIu64 " %dx%d: %zu bytes\n", runs, w, h, *used);
            if (!first) first = used;
        }
    }
    s.finish();
    std::printf("soak: %" PRIu64 " frames in %" PRIu64 " runs of one instance\n", s.frames(), runs);
    if (afterEnd.size() < 4) {
        std::printf("soak: heap not measured (no exact count without AddressSanitizer or valgrind)\n");
        return 0;
    }
    const auto half = afterEnd.begin() + static_cast<ptrdiff_t>(afterEnd.size() / 2);
    const size_t earlier = *std::max_element(afterEnd.begin(), half);
    const size_t later = *std::max_element(half, afterEnd.end());
    std::printf("soak: heap after an end at most %zu bytes in the earlier half of the runs, %zu in the later; "
                "at most %zu during a run\n",
                earlier, later, peak);
    if (later > earlier + kDriftBound)
        fail("the heap grew by " + std::to_string(later - earlier) + " bytes from the earlier half of the runs to the later");
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
