// The tests' handle on the fake CUDA driver: the very libcuda.so.1 that the
// module finds on the library path, opened once more for its control entries.
#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace orv::test {

class FakeDriver {
public:
    FakeDriver() {
        // Never unloaded: its state must outlive every module that used it.
        lib_ = dlopen("libcuda.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (lib_ == nullptr) throw std::runtime_error(std::string("no libcuda.so.1 on the library path: ") + dlerror());
        resolve(reset_, "fake_cuda_reset");
        resolve(failCall_, "fake_cuda_fail_call");
        resolve(calls_, "fake_cuda_calls");
        resolve(log_, "fake_cuda_log_text");
        resolve(live_, "fake_cuda_live");
        resolve(faults_, "fake_cuda_faults");
        resolve(depth_, "fake_cuda_current_depth");
        reset();
    }
    ~FakeDriver() { dlclose(lib_); }
    FakeDriver(const FakeDriver&) = delete;
    FakeDriver& operator=(const FakeDriver&) = delete;

    void reset() { reset_(); }
    void fail_call(const char* entry, int nth, int status) { failCall_(entry, nth, status); }
    int calls(const char* entry) { return calls_(entry); }
    std::string log() { return log_(); }
    int live(const char* kind) { return live_(kind); }
    int faults() { return faults_(); }
    int current_depth() { return depth_(); }

private:
    template <class F>
    void resolve(F*& fn, const char* name) {
        fn = reinterpret_cast<F*>(dlsym(lib_, name));
        if (fn == nullptr) throw std::runtime_error(std::string("libcuda.so.1 is not the fake: no ") + name);
    }
    void* lib_ = nullptr;
    void (*reset_)() = nullptr;
    void (*failCall_)(const char*, int, int) = nullptr;
    int (*calls_)(const char*) = nullptr;
    const char* (*log_)() = nullptr;
    int (*live_)(const char*) = nullptr;
    int (*faults_)() = nullptr;
    int (*depth_)() = nullptr;
};

}  // namespace orv::test
