// The tests' handle on the fake CUDA driver: the very library that the module
// loads as its driver (libcuda.so.1 on the library path, nvcuda.dll in the
// system folder), opened once more for its control entries.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <stdexcept>
#include <string>

namespace orv::test {

class FakeDriver {
public:
    FakeDriver() {
        open();
        resolve(reset_, "fake_cuda_reset");
        resolve(failCall_, "fake_cuda_fail_call");
        resolve(calls_, "fake_cuda_calls");
        resolve(log_, "fake_cuda_log_text");
        resolve(live_, "fake_cuda_live");
        resolve(faults_, "fake_cuda_faults");
        resolve(depth_, "fake_cuda_current_depth");
        reset();
    }
#ifndef _WIN32
    ~FakeDriver() { dlclose(lib_); }
#endif
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
    // Never unloaded: its state must outlive every module that used it.
#ifdef _WIN32
    void open() {
        wchar_t path[MAX_PATH];
        const UINT n = GetSystemDirectoryW(path, MAX_PATH - 12);
        if (n == 0 || n >= MAX_PATH - 12) throw std::runtime_error("no system folder");
        wcscpy(path + n, L"\\nvcuda.dll");
        HMODULE lib = nullptr;
        if (LoadLibraryW(path) == nullptr ||
            !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, path, &lib))
            throw std::runtime_error("no nvcuda.dll in the system folder");
        lib_ = lib;
    }
    template <class F>
    void resolve(F*& fn, const char* name) {
        fn = reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(lib_, name)));
        if (fn == nullptr) throw std::runtime_error(std::string("nvcuda.dll is not the fake: no ") + name);
    }
    HMODULE lib_ = nullptr;
#else
    void open() {
        lib_ = dlopen("libcuda.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (lib_ == nullptr) throw std::runtime_error(std::string("no libcuda.so.1 on the library path: ") + dlerror());
    }
    template <class F>
    void resolve(F*& fn, const char* name) {
        fn = reinterpret_cast<F*>(dlsym(lib_, name));
        if (fn == nullptr) throw std::runtime_error(std::string("libcuda.so.1 is not the fake: no ") + name);
    }
    void* lib_ = nullptr;
#endif
    void (*reset_)() = nullptr;
    void (*failCall_)(const char*, int, int) = nullptr;
    int (*calls_)(const char*) = nullptr;
    const char* (*log_)() = nullptr;
    int (*live_)(const char*) = nullptr;
    int (*faults_)() = nullptr;
    int (*depth_)() = nullptr;
};

}  // namespace orv::test
