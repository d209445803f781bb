// A fake NVIDIA driver, libcuda.so.1 natively and nvcuda.dll on Windows, for
// the tests of the GPU route (test code, never shipped). It exports every entry that the module's driver
// loader requires. Device memory is host memory with realistic pitches; the
// module's fat binary is taken as an opaque image; launches run the kernels
// on the CPU emulator by their device names with the very parameter array
// they were given. Asynchronous work runs at call time, and its errors come
// where the driver reports them: bad arguments at the call, a kernel that
// breaks a rule at the next stream synchronisation.
//
// Like the driver, it wants a current context for every operation on memory,
// streams, modules and launches. It keeps a log of calls, and can fail any
// call of any entry (see fake_cuda.h).
#include "test_support/fake_cuda/fake_cuda.h"

#include <ffnvcodec/dynlink_cuda.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "test_support/emu/orv_cuda_emu.h"

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Statuses as the driver numbers them.
enum : int {
    kSuccess = 0,
    kInvalidValue = 1,
    kOutOfMemory = 2,
    kNotInitialized = 3,
    kNoDevice = 100,
    kInvalidDevice = 101,
    kInvalidImage = 200,
    kInvalidContext = 201,
    kInvalidHandle = 400,
    kNotFound = 500,
    kIllegalAddress = 700,
    kNotSupported = 801,
};

constexpr size_t kPitchAlignment = 512;
constexpr size_t kMargin = 64;  // guard bytes on each side of an allocation
constexpr unsigned char kGuard = 0xE3;
constexpr unsigned char kFreshMemory = 0xCD;  // device memory is not zeroed
constexpr size_t kMaxAllocation = size_t{1} << 30;

struct Allocation {
    unsigned char* storage;  // guard, the user's bytes, guard
    size_t size;
    unsigned char* user() const { return storage + kMargin; }
};

struct Stream {
    unsigned flags;
    int pendingError;  // reported by the next synchronisation
};

struct Module;
struct Function {
    Module* module;
    std::string name;
};

struct Module {
    const unsigned char* image;
    size_t size;
    std::vector<std::unique_ptr<Function>> functions;
};

struct Plan {
    std::string entry;
    int nth;
    int status;
};

struct Context {
    int refs = 0;
};

struct Fake {
    std::mutex lock;
    bool initialised = false;
    Context primary;
    std::map<uintptr_t, Allocation> allocations;  // by the user's address
    std::set<Stream*> streams;
    std::set<Module*> modules;
    std::map<std::string, int> calls;
    std::vector<Plan> plans;
    std::string log;
    std::string logCopy;
    int faults = 0;
};

// Failures planned before the process starts, for tests that run a program
// over the fake: FAKE_CUDA_FAIL=entry:nth:status[,entry:nth:status...].
void plan_from_environment(Fake& f) {
    const char* list = std::getenv("FAKE_CUDA_FAIL");
    for (const char* p = list; p != nullptr && *p != '\0';) {
        const char* end = std::strchr(p, ',');
        const std::string item(p, end != nullptr ? end : p + std::strlen(p));
        const size_t a = item.find(':'), b = item.rfind(':');
        if (a != std::string::npos && b > a)
            f.plans.push_back(Plan{item.substr(0, a), std::atoi(item.c_str() + a + 1), std::atoi(item.c_str() + b + 1)});
        p = end != nullptr ? end + 1 : nullptr;
    }
}

Fake& fake() {
    static Fake* f = [] {
        auto* made = new Fake;  // lives to the very end of the process
        plan_from_environment(*made);
        return made;
    }();
    return *f;
}

// The calling thread's context stack. Plain data: a module's exit handler
// may still push and pop after the thread's destructors ran.
constexpr int kMaxDepth = 64;
thread_local Context* current[kMaxDepth];
thread_local int depth = 0;

// ---- Bookkeeping of one call --------------------------------------------------

// Logs the call and returns a planned failure's status, or 0.
int enter(Fake& f, const char* entry, const std::string& detail = "") {
    const int n = ++f.calls[entry];
    f.log += entry;
    if (!detail.empty()) f.log += " " + detail;
    for (const Plan& p : f.plans) {
        if (p.entry == entry && (p.nth <= 0 || p.nth == n)) {
            f.log += " -> " + std::to_string(p.status) + " (planned)\n";
            return p.status;
        }
    }
    f.log += "\n";
    return kSuccess;
}

CUresult result(Fake& f, int status) {
    if (status != kSuccess) {
        // The line of this call ends in "\n"; note the status before it.
        f.log.insert(f.log.size() - 1, " -> " + std::to_string(status));
    }
    return static_cast<CUresult>(status);
}

bool has_context() { return depth > 0; }

CUresult describe(Fake& f, const char** pstr, const char* text) {
    if (pstr == nullptr) return result(f, kInvalidValue);
    *pstr = text;
    return result(f, kSuccess);
}

// The allocation that holds [address, address + bytes), or null.
const Allocation* find_range(Fake& f, uintptr_t address, size_t bytes) {
    auto it = f.allocations.upper_bound(address);
    if (it == f.allocations.begin()) return nullptr;
    --it;
    const uintptr_t base = it->first;
    if (address - base > it->second.size || bytes > it->second.size - (address - base)) return nullptr;
    return &it->second;
}

int allocate(Fake& f, size_t size, CUdeviceptr* dptr) {
    if (size == 0) return kInvalidValue;
    if (size > kMaxAllocation) return kOutOfMemory;
    auto* storage = static_cast<unsigned char*>(std::malloc(size + 2 * kMargin));
    if (storage == nullptr) return kOutOfMemory;
    std::memset(storage, kGuard, kMargin);
    std::memset(storage + kMargin, kFreshMemory, size);
    std::memset(storage + kMargin + size, kGuard, kMargin);
    const Allocation a{storage, size};
    f.allocations.emplace(reinterpret_cast<uintptr_t>(a.user()), a);
    *dptr = static_cast<CUdeviceptr>(reinterpret_cast<uintptr_t>(a.user()));
    return kSuccess;
}

void destroy_everything_in_context(Fake& f) {
    for (auto& [address, a] : f.allocations) std::free(a.storage);
    f.allocations.clear();
    for (Stream* s : f.streams) delete s;
    f.streams.clear();
    for (Module* m : f.modules) delete m;
    f.modules.clear();
}

Stream* find_stream(Fake& f, CUstream handle) {
    auto* s = reinterpret_cast<Stream*>(handle);
    return f.streams.count(s) != 0 ? s : nullptr;
}

Function* find_function(Fake& f, CUfunction handle) {
    auto* fn = reinterpret_cast<Function*>(handle);
    for (Module* m : f.modules)
        for (auto& candidate : m->functions)
            if (candidate.get() == fn) return fn;
    return nullptr;
}

// ---- The fat binary as an opaque image -------------------------------------------

constexpr uint32_t kFatbinMagic = 0xBA55ED50;

// The image's size from its header, or 0 when it is no fat binary or holds
// nothing after the header.
size_t fatbin_size(const void* image) {
    uint32_t magic = 0;
    uint16_t headerSize = 0;
    uint64_t bodySize = 0;
    std::memcpy(&magic, image, 4);
    if (magic != kFatbinMagic) return 0;
    std::memcpy(&headerSize, static_cast<const unsigned char*>(image) + 6, 2);
    std::memcpy(&bodySize, static_cast<const unsigned char*>(image) + 8, 8);
    if (headerSize < 16 || bodySize == 0 || bodySize > kMaxAllocation) return 0;
    return headerSize + bodySize;
}

bool image_names(const Module& m, const char* name) {
    const size_t n = std::strlen(name);
    if (n == 0 || n > m.size) return false;
    for (size_t i = 0; i + n <= m.size; ++i)
        if (m.image[i] == static_cast<unsigned char>(name[0]) && std::memcmp(m.image + i, name, n) == 0) return true;
    return false;
}

// ---- Launches -------------------------------------------------------------------------

// The device pointers among a kernel's parameters, by position.
std::vector<int> pointer_params(const std::string& name) {
    if (name == orv::kernel_name(orv::Kernel::Denoise))
        return {orv::DenoiseParams::kDevicePointers.begin(), orv::DenoiseParams::kDevicePointers.end()};
    if (name == orv::kernel_name(orv::Kernel::ProfileSigma))
        return {orv::ProfileParams::kDevicePointers.begin(), orv::ProfileParams::kDevicePointers.end()};
    return {};
}

bool params_in_device_memory(Fake& f, const std::string& name, void** params) {
    for (int i : pointer_params(name)) {
        if (params[i] == nullptr) return false;
        uintptr_t p = 0;
        std::memcpy(&p, params[i], sizeof p);
        if (find_range(f, p, 1) == nullptr) return false;
    }
    return true;
}

std::vector<orv::emu::Guard> allocation_guards(Fake& f) {
    std::vector<orv::emu::Guard> guards;
    for (auto& [address, a] : f.allocations) {
        guards.push_back({a.storage, kMargin, "bytes before an allocation"});
        guards.push_back({a.user() + a.size, kMargin, "bytes after an allocation"});
    }
    return guards;
}

}  // namespace

// ---- Control -------------------------------------------------------------------------

FAKE_EXPORT void fake_cuda_reset(void) {
    Fake& f = fake();
    std::lock_guard<std::mutex> g(f.lock);
    f.calls.clear();
    f.plans.clear();
    f.log.clear();
    f.faults = 0;
}

FAKE_EXPORT void fake_cuda_fail_call(const char* entry, int nth, int status) {
    Fake& f = fake();
    std::lock_guard<std::mutex> g(f.lock);
    f.plans.push_back(Plan{entry, nth, status});
}

FAKE_EXPORT int fake_cuda_calls(const char* entry) {
    Fake& f = fake();
    std::lock_guard<std::mutex> g(f.lock);
    auto it = f.calls.find(entry);
    return it == f.calls.end() ? 0 : it->second;
}

FAKE_EXPORT const char* fake_cuda_log_text(void) {
    Fake& f = fake();
    std::lock_guard<std::mutex> g(f.lock);
    f.logCopy = f.log;
    return f.logCopy.c_str();
}

FAKE_EXPORT int fake_cuda_live(const char* kind) {
    Fake& f = fake();
    std::lock_guard<std::mutex> g(f.lock);
    const std::string k = kind;
    if (k == "allocations") return static_cast<int>(f.allocations.size());
    if (k == "streams") return static_cast<int>(f.streams.size());
    if (k == "modules") return static_cast<int>(f.modules.size());
    if (k == "context_refs") return f.primary.refs;
    if (k == "kilobytes") {
        size_t bytes = 0;
        for (const auto& [address, a] : f.allocations) bytes += a.size;
        return static_cast<int>((bytes + 1023) / 1024);
    }
    return -1;
}

FAKE_EXPORT int fake_cuda_faults(void) {
    Fake& f = fake();
    std::lock_guard<std::mutex> g(f.lock);
    return f.faults;
}

FAKE_EXPORT int fake_cuda_current_depth(void) { return depth; }

// ---- Driver entries ----------------------------------------------------------------
//
// Each one takes the lock, logs itself (and may fail as planned), and checks
// what the driver checks.

#define LOCKED() \
    Fake& f = fake(); \
    std::lock_guard<std::mutex> guard_(f.lock)

#define LOG_CALL(name, detail) \
    if (int planned_ = enter(f, name, detail)) return static_cast<CUresult>(planned_)

#define NEEDS_INIT() \
    if (!f.initialised) return result(f, kNotInitialized)

#define ENTER(name, detail) \
    LOCKED();               \
    LOG_CALL(name, detail); \
    NEEDS_INIT()

#define NEEDS_CONTEXT() \
    if (!has_context()) return result(f, kInvalidContext)

// As the driver does, CUDA_VISIBLE_DEVICES hides the one device unless the
// list starts with it: set and empty, the driver finds no device at all.
static bool device_visible() {
    const char* list = std::getenv("CUDA_VISIBLE_DEVICES");
    return list == nullptr || (list[0] == '0' && (list[1] == '\0' || list[1] == ','));
}

FAKE_EXPORT CUresult cuInit(unsigned int flags) {
    LOCKED();
    LOG_CALL("cuInit", "flags=" + std::to_string(flags));
    if (flags != 0) return result(f, kInvalidValue);
    if (!device_visible()) return result(f, kNoDevice);
    f.initialised = true;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuDeviceGetCount(int* count) {
    ENTER("cuDeviceGetCount", "");
    *count = 1;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuDeviceGet(CUdevice* device, int ordinal) {
    ENTER("cuDeviceGet", "ordinal=" + std::to_string(ordinal));
    if (ordinal != 0) return result(f, kInvalidDevice);
    *device = 0;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuDevicePrimaryCtxRetain(CUcontext* pctx, CUdevice dev) {
    ENTER("cuDevicePrimaryCtxRetain", "device=" + std::to_string(dev));
    if (dev != 0) return result(f, kInvalidDevice);
    ++f.primary.refs;
    *pctx = reinterpret_cast<CUcontext>(&f.primary);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuDevicePrimaryCtxRelease(CUdevice dev) {
    ENTER("cuDevicePrimaryCtxRelease", "device=" + std::to_string(dev));
    if (dev != 0) return result(f, kInvalidDevice);
    if (f.primary.refs == 0) return result(f, kInvalidContext);
    // The last release destroys the context with everything made in it.
    if (--f.primary.refs == 0) destroy_everything_in_context(f);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuCtxPushCurrent_v2(CUcontext ctx) {
    ENTER("cuCtxPushCurrent_v2", "");
    auto* c = reinterpret_cast<Context*>(ctx);
    if (c != &f.primary || c->refs == 0) return result(f, kInvalidContext);
    if (depth == kMaxDepth) return result(f, kOutOfMemory);
    current[depth++] = c;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuCtxPopCurrent_v2(CUcontext* pctx) {
    ENTER("cuCtxPopCurrent_v2", "");
    if (depth == 0) return result(f, kInvalidContext);
    --depth;
    if (pctx != nullptr) *pctx = reinterpret_cast<CUcontext>(current[depth]);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuCtxGetDevice(CUdevice* device) {
    ENTER("cuCtxGetDevice", "");
    NEEDS_CONTEXT();
    *device = 0;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuModuleLoadData(CUmodule* module, const void* image) {
    ENTER("cuModuleLoadData", "");
    NEEDS_CONTEXT();
    if (image == nullptr) return result(f, kInvalidValue);
    const size_t size = fatbin_size(image);
    if (size == 0) return result(f, kInvalidImage);
    auto* m = new Module{static_cast<const unsigned char*>(image), size, {}};
    f.modules.insert(m);
    *module = reinterpret_cast<CUmodule>(m);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuModuleGetFunction(CUfunction* hfunc, CUmodule hmod, const char* name) {
    ENTER("cuModuleGetFunction", name != nullptr ? name : "(null)");
    NEEDS_CONTEXT();
    auto* m = reinterpret_cast<Module*>(hmod);
    if (f.modules.count(m) == 0) return result(f, kInvalidHandle);
    if (name == nullptr) return result(f, kInvalidValue);
    if (!image_names(*m, name) || !orv::emu::has_kernel(name)) return result(f, kNotFound);
    m->functions.push_back(std::make_unique<Function>(Function{m, name}));
    *hfunc = reinterpret_cast<CUfunction>(m->functions.back().get());
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuModuleUnload(CUmodule hmod) {
    ENTER("cuModuleUnload", "");
    NEEDS_CONTEXT();
    auto* m = reinterpret_cast<Module*>(hmod);
    if (f.modules.erase(m) == 0) return result(f, kInvalidHandle);
    delete m;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuStreamCreate(CUstream* phStream, unsigned int flags) {
    ENTER("cuStreamCreate", "flags=" + std::to_string(flags));
    NEEDS_CONTEXT();
    if (flags > 1) return result(f, kInvalidValue);
    auto* s = new Stream{flags, kSuccess};
    f.streams.insert(s);
    *phStream = reinterpret_cast<CUstream>(s);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuStreamSynchronize(CUstream hStream) {
    ENTER("cuStreamSynchronize", "");
    NEEDS_CONTEXT();
    Stream* s = find_stream(f, hStream);
    if (s == nullptr) return result(f, kInvalidHandle);
    return result(f, s->pendingError);
}

FAKE_EXPORT CUresult cuStreamDestroy_v2(CUstream hStream) {
    ENTER("cuStreamDestroy_v2", "");
    NEEDS_CONTEXT();
    Stream* s = find_stream(f, hStream);
    if (s == nullptr) return result(f, kInvalidHandle);
    f.streams.erase(s);
    delete s;
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuMemAllocPitch_v2(CUdeviceptr* dptr, size_t* pPitch, size_t widthInBytes, size_t height,
                                        unsigned int elementSizeBytes) {
    ENTER("cuMemAllocPitch_v2", std::to_string(widthInBytes) + "x" + std::to_string(height));
    NEEDS_CONTEXT();
    if (widthInBytes == 0 || height == 0) return result(f, kInvalidValue);
    if (elementSizeBytes != 4 && elementSizeBytes != 8 && elementSizeBytes != 16) return result(f, kInvalidValue);
    if (widthInBytes > kMaxAllocation) return result(f, kOutOfMemory);
    const size_t pitch = (widthInBytes + kPitchAlignment - 1) / kPitchAlignment * kPitchAlignment;
    if (height > kMaxAllocation / pitch) return result(f, kOutOfMemory);
    const int s = allocate(f, pitch * height, dptr);
    if (s == kSuccess) *pPitch = pitch;
    return result(f, s);
}

FAKE_EXPORT CUresult cuMemAlloc_v2(CUdeviceptr* dptr, size_t bytesize) {
    ENTER("cuMemAlloc_v2", std::to_string(bytesize));
    NEEDS_CONTEXT();
    return result(f, allocate(f, bytesize, dptr));
}

FAKE_EXPORT CUresult cuMemFree_v2(CUdeviceptr dptr) {
    ENTER("cuMemFree_v2", "");
    NEEDS_CONTEXT();
    auto it = f.allocations.find(static_cast<uintptr_t>(dptr));
    if (it == f.allocations.end()) return result(f, kInvalidValue);
    std::free(it->second.storage);
    f.allocations.erase(it);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuMemcpy2DAsync_v2(const CUDA_MEMCPY2D* c, CUstream hStream) {
    const bool up = c != nullptr && c->srcMemoryType == CU_MEMORYTYPE_HOST;
    ENTER("cuMemcpy2DAsync_v2", c == nullptr ? std::string("(null)")
                                             : std::string(up ? "HtoD " : "DtoH ") + std::to_string(c->WidthInBytes) +
                                                   "x" + std::to_string(c->Height) +
                                                   " srcPitch=" + std::to_string(c->srcPitch) +
                                                   " dstPitch=" + std::to_string(c->dstPitch));
    NEEDS_CONTEXT();
    if (c == nullptr || find_stream(f, hStream) == nullptr) return result(f, kInvalidValue);
    if (c->srcPitch < c->WidthInBytes || c->dstPitch < c->WidthInBytes) return result(f, kInvalidValue);
    const auto side = [&](CUmemorytype type, const void* host, CUdeviceptr device, size_t x, size_t y,
                          size_t pitch) -> unsigned char* {
        if (type == CU_MEMORYTYPE_HOST) return const_cast<unsigned char*>(static_cast<const unsigned char*>(host)) + y * pitch + x;
        if (type != CU_MEMORYTYPE_DEVICE) return nullptr;
        const uintptr_t start = static_cast<uintptr_t>(device) + y * pitch + x;
        const size_t span = c->Height == 0 ? 0 : (c->Height - 1) * pitch + c->WidthInBytes;
        if (find_range(f, start, span) == nullptr) return nullptr;
        return reinterpret_cast<unsigned char*>(start);
    };
    const unsigned char* from = side(c->srcMemoryType, c->srcHost, c->srcDevice, c->srcXInBytes, c->srcY, c->srcPitch);
    unsigned char* to = side(c->dstMemoryType, c->dstHost, c->dstDevice, c->dstXInBytes, c->dstY, c->dstPitch);
    if (from == nullptr || to == nullptr) return result(f, kInvalidValue);
    for (size_t row = 0; row < c->Height; ++row)
        std::memcpy(to + row * c->dstPitch, from + row * c->srcPitch, c->WidthInBytes);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuMemcpyHtoDAsync_v2(CUdeviceptr dstDevice, const void* srcHost, size_t byteCount,
                                          CUstream hStream) {
    ENTER("cuMemcpyHtoDAsync_v2", std::to_string(byteCount));
    NEEDS_CONTEXT();
    if (find_stream(f, hStream) == nullptr || srcHost == nullptr) return result(f, kInvalidValue);
    if (find_range(f, static_cast<uintptr_t>(dstDevice), byteCount) == nullptr) return result(f, kInvalidValue);
    std::memcpy(reinterpret_cast<void*>(static_cast<uintptr_t>(dstDevice)), srcHost, byteCount);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuMemcpyDtoHAsync_v2(void* dstHost, CUdeviceptr srcDevice, size_t byteCount, CUstream hStream) {
    ENTER("cuMemcpyDtoHAsync_v2", std::to_string(byteCount));
    NEEDS_CONTEXT();
    if (find_stream(f, hStream) == nullptr || dstHost == nullptr) return result(f, kInvalidValue);
    if (find_range(f, static_cast<uintptr_t>(srcDevice), byteCount) == nullptr) return result(f, kInvalidValue);
    std::memcpy(dstHost, reinterpret_cast<const void*>(static_cast<uintptr_t>(srcDevice)), byteCount);
    return result(f, kSuccess);
}

FAKE_EXPORT CUresult cuLaunchKernel(CUfunction func, unsigned int gridX, unsigned int gridY, unsigned int gridZ,
                                    unsigned int blockX, unsigned int blockY, unsigned int blockZ,
                                    unsigned int sharedMemBytes, CUstream hStream, void** kernelParams,
                                    void** extra) {
    LOCKED();
    Function* fn = find_function(f, func);
    LOG_CALL("cuLaunchKernel", (fn != nullptr ? fn->name : std::string("(unknown)")) + " grid=" +
                                   std::to_string(gridX) + "x" + std::to_string(gridY) + "x" + std::to_string(gridZ) +
                                   " block=" + std::to_string(blockX) + "x" + std::to_string(blockY) + "x" +
                                   std::to_string(blockZ) + " shared=" + std::to_string(sharedMemBytes));
    NEEDS_INIT();
    NEEDS_CONTEXT();
    if (fn == nullptr) return result(f, kInvalidHandle);
    Stream* s = find_stream(f, hStream);
    if (s == nullptr || kernelParams == nullptr || extra != nullptr) return result(f, kInvalidValue);
    // A device pointer outside device memory faults on the GPU: the launch is
    // accepted, and the fault shows at the next synchronisation.
    if (!params_in_device_memory(f, fn->name, kernelParams)) {
        ++f.faults;
        s->pendingError = kIllegalAddress;
        f.log += "  fault: a pointer parameter lies outside device memory\n";
        return result(f, kSuccess);
    }
    orv::emu::Report report;
    orv::emu::launch_by_name(fn->name.c_str(), {gridX, gridY, gridZ}, {blockX, blockY, blockZ}, kernelParams,
                             orv::emu::Checks{allocation_guards(f)}, &report);
    switch (report.status) {
        case orv::emu::Status::Ok:
            break;
        case orv::emu::Status::UnknownKernel:
            return result(f, kNotFound);
        case orv::emu::Status::BadConfiguration:
            return result(f, kInvalidValue);
        case orv::emu::Status::Faulted:
            ++f.faults;
            s->pendingError = kIllegalAddress;
            for (const auto& fault : report.faults) f.log += "  fault: " + fault.what + "\n";
            break;
    }
    return result(f, kSuccess);
}

// Both work before cuInit, as the driver's do.
FAKE_EXPORT CUresult cuGetErrorName(CUresult error, const char** pstr) {
    LOCKED();
    LOG_CALL("cuGetErrorName", "");
    return describe(f, pstr, error == 0 ? "CUDA_SUCCESS" : "CUDA_ERROR");
}

FAKE_EXPORT CUresult cuGetErrorString(CUresult error, const char** pstr) {
    LOCKED();
    LOG_CALL("cuGetErrorString", "");
    return describe(f, pstr, error == 0 ? "no error" : "error (fake driver)");
}

// The entries must have the types under which the loader calls them.
static_assert(std::is_same_v<decltype(cuInit), tcuInit>);
static_assert(std::is_same_v<decltype(cuDeviceGetCount), tcuDeviceGetCount>);
static_assert(std::is_same_v<decltype(cuDeviceGet), tcuDeviceGet>);
static_assert(std::is_same_v<decltype(cuDevicePrimaryCtxRetain), tcuDevicePrimaryCtxRetain>);
static_assert(std::is_same_v<decltype(cuDevicePrimaryCtxRelease), tcuDevicePrimaryCtxRelease>);
static_assert(std::is_same_v<decltype(cuCtxPushCurrent_v2), tcuCtxPushCurrent_v2>);
static_assert(std::is_same_v<decltype(cuCtxPopCurrent_v2), tcuCtxPopCurrent_v2>);
static_assert(std::is_same_v<decltype(cuCtxGetDevice), tcuCtxGetDevice>);
static_assert(std::is_same_v<decltype(cuModuleLoadData), tcuModuleLoadData>);
static_assert(std::is_same_v<decltype(cuModuleGetFunction), tcuModuleGetFunction>);
static_assert(std::is_same_v<decltype(cuModuleUnload), tcuModuleUnload>);
static_assert(std::is_same_v<decltype(cuStreamCreate), tcuStreamCreate>);
static_assert(std::is_same_v<decltype(cuStreamSynchronize), tcuStreamSynchronize>);
static_assert(std::is_same_v<decltype(cuStreamDestroy_v2), tcuStreamDestroy_v2>);
static_assert(std::is_same_v<decltype(cuMemAllocPitch_v2), tcuMemAllocPitch_v2>);
static_assert(std::is_same_v<decltype(cuMemAlloc_v2), tcuMemAlloc_v2>);
static_assert(std::is_same_v<decltype(cuMemFree_v2), tcuMemFree_v2>);
static_assert(std::is_same_v<decltype(cuMemcpy2DAsync_v2), tcuMemcpy2DAsync_v2>);
static_assert(std::is_same_v<decltype(cuMemcpyHtoDAsync_v2), tcuMemcpyHtoDAsync_v2>);
static_assert(std::is_same_v<decltype(cuMemcpyDtoHAsync_v2), tcuMemcpyDtoHAsync_v2>);
static_assert(std::is_same_v<decltype(cuLaunchKernel), tcuLaunchKernel>);
static_assert(std::is_same_v<decltype(cuGetErrorName), tcuGetErrorName>);
static_assert(std::is_same_v<decltype(cuGetErrorString), tcuGetErrorString>);

// ---- Entries the GPU route never calls ---------------------------------------------
//
// The loader refuses a library that lacks any of them, interop included. They
// answer that the operation is not supported, whatever their arguments.

#define UNSUPPORTED(name)                \
    FAKE_EXPORT CUresult name() {        \
        LOCKED();                        \
        LOG_CALL(#name, "");             \
        return result(f, kNotSupported); \
    }

UNSUPPORTED(cuDeviceGetAttribute)
UNSUPPORTED(cuDeviceGetName)
UNSUPPORTED(cuDeviceComputeCapability)
UNSUPPORTED(cuCtxCreate_v2)
UNSUPPORTED(cuCtxSetLimit)
UNSUPPORTED(cuCtxDestroy_v2)
UNSUPPORTED(cuMemAllocManaged)
UNSUPPORTED(cuMemsetD8Async)
UNSUPPORTED(cuMemcpy)
UNSUPPORTED(cuMemcpyAsync)
UNSUPPORTED(cuMemcpy2D_v2)
UNSUPPORTED(cuMemcpyHtoD_v2)
UNSUPPORTED(cuMemcpyDtoH_v2)
UNSUPPORTED(cuMemcpyDtoD_v2)
UNSUPPORTED(cuMemcpyDtoDAsync_v2)
UNSUPPORTED(cuDevicePrimaryCtxSetFlags)
UNSUPPORTED(cuDevicePrimaryCtxGetState)
UNSUPPORTED(cuDevicePrimaryCtxReset)
UNSUPPORTED(cuStreamQuery)
UNSUPPORTED(cuStreamAddCallback)
UNSUPPORTED(cuEventCreate)
UNSUPPORTED(cuEventDestroy_v2)
UNSUPPORTED(cuEventSynchronize)
UNSUPPORTED(cuEventQuery)
UNSUPPORTED(cuEventRecord)
UNSUPPORTED(cuLinkCreate)
UNSUPPORTED(cuLinkAddData)
UNSUPPORTED(cuLinkComplete)
UNSUPPORTED(cuLinkDestroy)
UNSUPPORTED(cuModuleGetGlobal)
UNSUPPORTED(cuTexObjectCreate)
UNSUPPORTED(cuTexObjectDestroy)
UNSUPPORTED(cuGLGetDevices_v2)
UNSUPPORTED(cuGraphicsGLRegisterImage)
UNSUPPORTED(cuGraphicsUnregisterResource)
UNSUPPORTED(cuGraphicsMapResources)
UNSUPPORTED(cuGraphicsUnmapResources)
UNSUPPORTED(cuGraphicsSubResourceGetMappedArray)
UNSUPPORTED(cuGraphicsResourceGetMappedPointer_v2)
UNSUPPORTED(cuArray3DCreate_v2)
UNSUPPORTED(cuArrayDestroy)
#ifdef _WIN32
// Direct3D 11 interop, which the loader requires on Windows only.
UNSUPPORTED(cuD3D11GetDevice)
UNSUPPORTED(cuD3D11GetDevices)
UNSUPPORTED(cuGraphicsD3D11RegisterResource)
#endif
