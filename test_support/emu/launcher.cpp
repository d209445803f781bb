#include "test_support/emu/launcher.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "test_support/emu/cuda_compat.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORV_EMU_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_EMU_ASAN 1
#endif
#endif

#ifdef ORV_EMU_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

// The CUDA built-in variables; the launcher sets them before each fiber runs.
thread_local uint3 threadIdx;
thread_local uint3 blockIdx;
thread_local dim3 blockDim;
thread_local dim3 gridDim;

namespace orv::emu {
namespace {

#ifdef ORV_EMU_ASAN
// Instrumented frames are larger, and a sanitizer report runs on the fiber.
constexpr size_t kStackBytes = 256 * 1024;
#else
constexpr size_t kStackBytes = 64 * 1024;
#endif
constexpr unsigned kMaxBlockThreads = 1024;
constexpr size_t kCanaryBytes = 64;
constexpr unsigned char kCanary = 0xC5;

[[noreturn]] void die(const char* what) {
    std::fprintf(stderr, "kernel emulator: %s\n", what);
    std::abort();
}

#ifndef _WIN32
// ---- AddressSanitizer's view of the stack switches ---------------------------

void start_switch(void** fakeStackSave, const void* bottom, size_t size) {
#ifdef ORV_EMU_ASAN
    __sanitizer_start_switch_fiber(fakeStackSave, bottom, size);
#else
    (void)fakeStackSave, (void)bottom, (void)size;
#endif
}

void finish_switch(void* fakeStackSave, const void** bottomOld, size_t* sizeOld) {
#ifdef ORV_EMU_ASAN
    __sanitizer_finish_switch_fiber(fakeStackSave, bottomOld, sizeOld);
#else
    (void)fakeStackSave, (void)bottomOld, (void)sizeOld;
#endif
}

#endif

// ---- Fiber stacks ------------------------------------------------------------

#ifdef _WIN32
// The system's fibers, made for a launch and reused by each of its blocks
// (kept per thread and deleted by a thread-exit handler, they hung the GPU
// route's tests under Wine). A Windows fiber must never return, so each one
// runs the kernel body in a loop: after a body it hands control back and,
// when resumed for the next block, begins the body afresh. Their stacks come
// with guard pages.
void CALLBACK fiber_loop(void*);

class FiberPool {
public:
    ~FiberPool() {
        for (void* f : fibers_) DeleteFiber(f);
    }
    void* fiber(size_t i) {
        while (fibers_.size() <= i) {
            void* f = CreateFiber(kStackBytes, fiber_loop, nullptr);
            if (f == nullptr) die("no memory for a fiber");
            fibers_.push_back(f);
        }
        return fibers_[i];
    }

private:
    std::vector<void*> fibers_;
};

#else
// Stacks are made once per OS thread and reused by every block after; each
// has an inaccessible page below it, so an overflow faults instead of
// overwriting its neighbour.
class StackPool {
public:
    ~StackPool() {
        for (void* region : regions_) munmap(region, regionBytes());
    }
    void* stack(size_t i) {
        while (stacks_.size() <= i) grow();
        return stacks_[i];
    }

private:
    static size_t page() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }
    static size_t regionBytes() { return kStackBytes + page(); }
    void grow() {
        void* region = mmap(nullptr, regionBytes(), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (region == MAP_FAILED) die("no memory for a fiber stack");
        if (mprotect(region, page(), PROT_NONE) != 0) die("cannot protect a fiber stack's guard page");
        regions_.push_back(region);
        stacks_.push_back(static_cast<unsigned char*>(region) + page());
    }
    std::vector<void*> regions_;
    std::vector<void*> stacks_;
};

thread_local StackPool t_stacks;
#endif

// ---- Shared memory -------------------------------------------------------------

struct SharedRegion {
    const SharedSite* site;
    std::vector<unsigned char> storage;  // canary, the array, canary
    unsigned char* array() { return storage.data() + kCanaryBytes; }
};

// The first guard byte that changed, as an offset from the array's start
// (negative below it), or none.
bool canaries_intact(SharedRegion& r, long long* changedAt) {
    const unsigned char* before = r.storage.data();
    const unsigned char* after = r.array() + r.site->bytes();
    for (size_t i = 0; i < kCanaryBytes; ++i)
        if (before[i] != kCanary) return *changedAt = static_cast<long long>(i) - static_cast<long long>(kCanaryBytes), false;
    for (size_t i = 0; i < kCanaryBytes; ++i)
        if (after[i] != kCanary) return *changedAt = static_cast<long long>(r.site->bytes() + i), false;
    return true;
}

void fill_region(SharedRegion& r, unsigned char fill) {
    std::memset(r.storage.data(), kCanary, r.storage.size());
    std::memset(r.array(), fill, r.site->bytes());
}

// ---- One launch ------------------------------------------------------------------

enum class FiberState { Ready, AtBarrier, Done };

struct Fiber {
#ifndef _WIN32
    ucontext_t context;
#endif
    FiberState state;
    uint3 index;
    void* fakeStack;
};

struct GuardCopy {
    const Guard* guard;
    std::vector<unsigned char> bytes;
};

struct Launch {
    KernelBody body;
    const void* closure;
    Report* report;
    std::vector<Fiber> fibers;
    size_t current = 0;
#ifdef _WIN32
    void* scheduler = nullptr;  // the launching thread, as a fiber
    FiberPool systemFibers;
#else
    ucontext_t scheduler;
#endif
    const void* schedulerStack = nullptr;
    size_t schedulerStackSize = 0;
    std::vector<SharedRegion> shared;
    unsigned char sharedFill = 0;
    std::vector<GuardCopy> guards;
    uint3 block{};
};

thread_local Launch* t_launch = nullptr;

void add_fault(Launch& L, const uint3& thread, std::string what) {
    Report& r = *L.report;
    if (r.faults.size() >= kMaxFaults) return;
    r.faults.push_back(Fault{{L.block.x, L.block.y, L.block.z}, {thread.x, thread.y, thread.z}, std::move(what)});
}

// What the fiber that just ran may have broken: shared-array guards and the
// caller's guarded bytes. Each break is reported once and then accepted as the
// new state, so a later writer is reported on its own.
void check_after_run(Launch& L, const uint3& thread) {
    for (SharedRegion& r : L.shared) {
        long long changedAt = 0;
        if (canaries_intact(r, &changedAt)) continue;
        add_fault(L, thread,
                  std::string("wrote outside shared array ") + r.site->name() + " (" + std::to_string(r.site->bytes()) +
                      " bytes), at byte " + std::to_string(changedAt));
        std::memset(r.storage.data(), kCanary, kCanaryBytes);
        std::memset(r.array() + r.site->bytes(), kCanary, kCanaryBytes);
    }
    for (GuardCopy& g : L.guards) {
        const auto* now = static_cast<const unsigned char*>(g.guard->data);
        if (std::memcmp(now, g.bytes.data(), g.bytes.size()) == 0) continue;
        size_t at = 0;
        while (now[at] == g.bytes[at]) ++at;
        add_fault(L, thread, "wrote guarded bytes (" + g.guard->what + ") at byte " + std::to_string(at));
        std::memcpy(g.bytes.data(), now, g.bytes.size());
    }
}

#ifdef _WIN32
void CALLBACK fiber_loop(void*) {
    for (;;) {
        Launch& L = *t_launch;
        L.body(L.closure);
        L.fibers[L.current].state = FiberState::Done;
        SwitchToFiber(L.scheduler);
    }
}

void resume(Launch& L, size_t i) {
    L.current = i;
    threadIdx = L.fibers[i].index;
    SwitchToFiber(L.systemFibers.fiber(i));
}

void start_fiber(Fiber& f) { f.state = FiberState::Ready; }

void yield_to_scheduler(Launch& L) { SwitchToFiber(L.scheduler); }

// The launching thread becomes a fiber for the launch, unless it is one.
// (GetCurrentFiber reads the thread's block through gs:, which GCC takes for
// an access to an empty array.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
struct SchedulerFiber {
    bool converted = false;
    [[gnu::noinline]] explicit SchedulerFiber(Launch& L) {
        if (!IsThreadAFiber()) {
            if (ConvertThreadToFiber(nullptr) == nullptr) die("cannot make the thread a fiber");
            converted = true;
        }
        L.scheduler = GetCurrentFiber();
    }
    ~SchedulerFiber() {
        if (converted) ConvertFiberToThread();
    }
};
#pragma GCC diagnostic pop
#else
void fiber_main() {
    Launch& L = *t_launch;
    finish_switch(nullptr, &L.schedulerStack, &L.schedulerStackSize);
    L.body(L.closure);
    L.fibers[L.current].state = FiberState::Done;
    // The fiber's own stack ends here; returning continues at uc_link.
    start_switch(nullptr, L.schedulerStack, L.schedulerStackSize);
}

void resume(Launch& L, size_t i) {
    L.current = i;
    threadIdx = L.fibers[i].index;
    void* fakeStack = nullptr;
    start_switch(&fakeStack, t_stacks.stack(i), kStackBytes);
    if (swapcontext(&L.scheduler, &L.fibers[i].context) != 0) die("swapcontext failed");
    finish_switch(fakeStack, nullptr, nullptr);
}

// Kept apart from the loops that call it: getcontext returns twice, and the
// compiler then distrusts every local of its caller.
[[gnu::noinline]] void start_fiber_on(Fiber& f, void* stack, ucontext_t* scheduler) {
    if (getcontext(&f.context) != 0) die("getcontext failed");
    f.context.uc_stack.ss_sp = stack;
    f.context.uc_stack.ss_size = kStackBytes;
    f.context.uc_link = scheduler;
    makecontext(&f.context, fiber_main, 0);
    f.state = FiberState::Ready;
    f.fakeStack = nullptr;
}

void yield_to_scheduler(Launch& L) {
    Fiber& f = L.fibers[L.current];
    start_switch(&f.fakeStack, L.schedulerStack, L.schedulerStackSize);
    if (swapcontext(&f.context, &L.scheduler) != 0) die("swapcontext failed");
    finish_switch(f.fakeStack, nullptr, nullptr);
}

struct SchedulerFiber {
    explicit SchedulerFiber(Launch&) {}
};
#endif

void run_block(Launch& L, const Dim3& blockShape) {
    for (SharedRegion& r : L.shared) fill_region(r, L.sharedFill);
    size_t n = 0;
    for (unsigned z = 0; z < blockShape.z; ++z)
        for (unsigned y = 0; y < blockShape.y; ++y)
            for (unsigned x = 0; x < blockShape.x; ++x) {
#ifdef _WIN32
                start_fiber(L.fibers[n]);
#else
                start_fiber_on(L.fibers[n], t_stacks.stack(n), &L.scheduler);
#endif
                L.fibers[n].index = uint3{x, y, z};
                ++n;
            }

    for (;;) {
        for (size_t i = 0; i < n; ++i) {
            if (L.fibers[i].state != FiberState::Ready) continue;
            resume(L, i);
            check_after_run(L, L.fibers[i].index);
        }
        size_t waiting = 0, done = 0;
        const Fiber* firstDone = nullptr;
        for (size_t i = 0; i < n; ++i) {
            if (L.fibers[i].state == FiberState::AtBarrier) ++waiting;
            if (L.fibers[i].state == FiberState::Done && !firstDone) firstDone = &L.fibers[i];
            done += L.fibers[i].state == FiberState::Done;
        }
        if (waiting == 0) break;
        // A barrier must be reached by every thread of the block.
        if (done != 0) add_fault(L, firstDone->index, "left the kernel while other threads of its block wait at a barrier");
        for (size_t i = 0; i < n; ++i)
            if (L.fibers[i].state == FiberState::AtBarrier) L.fibers[i].state = FiberState::Ready;
    }
    L.report->threadsRun += n;
    L.report->blocksRun += 1;
}

bool valid_shape(const Dim3& grid, const Dim3& block) {
    if (grid.x == 0 || grid.y == 0 || grid.z == 0 || block.x == 0 || block.y == 0 || block.z == 0) return false;
    if (grid.x > 0x7FFFFFFFu || grid.y > 65535 || grid.z > 65535) return false;
    if (block.x > kMaxBlockThreads || block.y > kMaxBlockThreads || block.z > 64) return false;
    return static_cast<uint64_t>(block.x) * block.y * block.z <= kMaxBlockThreads;
}

}  // namespace

bool run_grid(Dim3 grid, Dim3 block, KernelBody body, const void* closure, const Checks& checks, Report* report) {
    Report scratch;
    Report& rep = report ? *report : scratch;
    rep = Report{};
    if (!body || !valid_shape(grid, block) || t_launch != nullptr) {
        rep.status = Status::BadConfiguration;
        return false;
    }

    Launch L;
    L.body = body;
    L.closure = closure;
    L.report = &rep;
    L.fibers.resize(static_cast<size_t>(block.x) * block.y * block.z);
    for (const Guard& g : checks.guards) {
        if (g.size == 0) continue;
        const auto* p = static_cast<const unsigned char*>(g.data);
        L.guards.push_back(GuardCopy{&g, std::vector<unsigned char>(p, p + g.size)});
    }

    t_launch = &L;
    const SchedulerFiber schedulerFiber(L);
    gridDim = dim3{grid.x, grid.y, grid.z};
    blockDim = dim3{block.x, block.y, block.z};
    for (unsigned bz = 0; bz < grid.z; ++bz)
        for (unsigned by = 0; by < grid.y; ++by)
            for (unsigned bx = 0; bx < grid.x; ++bx) {
                L.block = uint3{bx, by, bz};
                blockIdx = L.block;
                // A new pattern for every block: a kernel that reads shared
                // memory it did not write sees junk, not the last block's data.
                L.sharedFill = static_cast<unsigned char>(0x5A + 0x3D * (bx + 7 * by + 13 * bz));
                run_block(L, block);
            }
    t_launch = nullptr;

    if (!rep.faults.empty()) rep.status = Status::Faulted;
    return rep.clean();
}

std::vector<Guard> frame_guards(const void* row0, size_t pitch, size_t rowBytes, size_t rows) {
    const auto* base = static_cast<const unsigned char*>(row0);
    std::vector<Guard> guards;
    for (size_t r = 0; r < rows && pitch > rowBytes; ++r)
        guards.push_back(Guard{base + r * pitch + rowBytes, pitch - rowBytes, "padding of row " + std::to_string(r)});
    return guards;
}

void barrier() {
    Launch* L = t_launch;
    if (!L) die("__syncthreads outside an emulated launch");
    L->fibers[L->current].state = FiberState::AtBarrier;
    yield_to_scheduler(*L);
}

void* SharedSite::base() const {
    Launch* L = t_launch;
    if (!L) die("shared memory used outside an emulated launch");
    for (SharedRegion& r : L->shared)
        if (r.site == this) return r.array();
    SharedRegion& r = L->shared.emplace_back();
    r.site = this;
    // Sized in whole 16-byte steps so that the array is aligned for any type.
    r.storage.resize(kCanaryBytes + (bytes_ + 15) / 16 * 16 + kCanaryBytes);
    fill_region(r, L->sharedFill);
    return r.array();
}

}  // namespace orv::emu
