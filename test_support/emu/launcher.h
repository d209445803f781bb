// The CPU launcher of the kernel emulator (test code, never shipped).
//
// A launch runs the grid block by block on the calling thread. The threads of
// a block run as fibers, so __syncthreads is a real barrier: a fiber that
// reaches it yields until every thread of its block has arrived. Each block
// gets fresh shared memory, filled with a pattern of its own, with guard
// bytes around every shared array. After every stretch that one fiber runs,
// the launcher checks those guard bytes and the caller's guarded ranges, so a
// stray write is reported with the block and thread that made it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "gpu/kernels.h"

namespace orv::emu {

using orv::Dim3;

// Bytes that the kernel must leave as they are: the pitch padding of a frame,
// canary bytes around a buffer. They are compared after every stretch that a
// fiber runs, so their cost grows with their total size.
struct Guard {
    const void* data = nullptr;
    size_t size = 0;
    std::string what;
};

struct Checks {
    std::vector<Guard> guards;
};

struct Fault {
    Dim3 block, thread;
    std::string what;
};

enum class Status {
    Ok,
    UnknownKernel,     // no kernel of that device name
    BadConfiguration,  // grid or block outside the device limits, missing arguments, nested launch
    Faulted,           // the launch ran, and a thread broke a rule (see faults)
};

struct Report {
    Status status = Status::Ok;
    std::vector<Fault> faults;  // the first few, in the order they were seen
    uint64_t threadsRun = 0;
    uint64_t blocksRun = 0;
    bool clean() const { return status == Status::Ok && faults.empty(); }
};

inline constexpr size_t kMaxFaults = 32;

// Runs body(closure) once per thread of the grid. Returns true when the launch
// ran and no fault was seen. A null report is allowed.
using KernelBody = void (*)(const void* closure);
bool run_grid(Dim3 grid, Dim3 block, KernelBody body, const void* closure, const Checks& checks, Report* report);

// Launches a kernel function with its arguments, as <<<grid, block>>> would.
template <class... Param, class... Arg>
bool launch(void (*kernel)(Param...), Dim3 grid, Dim3 block, const Checks& checks, Report* report, Arg... args) {
    static_assert(sizeof...(Param) == sizeof...(Arg), "argument count differs from the kernel's");
    struct Closure {
        void (*kernel)(Param...);
        std::tuple<Param...> args;
    };
    const Closure closure{kernel, std::tuple<Param...>(static_cast<Param>(args)...)};
    return run_grid(
        grid, block,
        [](const void* p) {
            const auto* c = static_cast<const Closure*>(p);
            std::apply(c->kernel, c->args);
        },
        &closure, checks, report);
}

// The pitch padding of each row of a frame: the bytes between rowBytes and
// pitch. The bytes around the frame are the caller's to guard.
std::vector<Guard> frame_guards(const void* row0, size_t pitch, size_t rowBytes, size_t rows);

// ---- Device side, used by cuda_compat.h --------------------------------------

// Block-wide barrier of the running fiber.
void barrier();

// One block-shared array of a kernel. The kernel asks for its storage in the
// running block; every block sees a region of its own filling, never the
// values a previous block left.
class SharedSite {
public:
    SharedSite(size_t bytes, const char* name) : bytes_(bytes), name_(name) {}
    void* base() const;
    size_t bytes() const { return bytes_; }
    const char* name() const { return name_; }

private:
    size_t bytes_;
    const char* name_;
};

}  // namespace orv::emu
