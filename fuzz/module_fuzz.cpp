// Fuzz target: the filter module as a host drives it, on the fake CUDA
// driver. The input decides every host action (settings, switches, starts and
// ends, frames of any size, pitch and content, texts) and which driver calls
// fail, and the session checks each result against the CPU reference, the
// kernels on the emulator and the host's rules.
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <string>

#include "test_support/host_session.h"
#include "fuzz/input_choices.h"
#include "test_support/fake_cuda/fake_driver.h"

namespace {

// One loaded module for the whole run, as an editor keeps it, over the fake
// driver, which outlives it.
orv::test::FakeDriver* driver = nullptr;
orv::test::ModuleHost* module = nullptr;

// The dynamic loader reads the library path once, at the start: a process
// without the fake driver's folder on it starts again with it.
void put_fake_driver_on_library_path(char** argv) {
    // The fake's one device must be there, whatever the caller's environment
    // hides; the fake reads this when the driver comes up.
    unsetenv("CUDA_VISIBLE_DEVICES");
    const char* path = std::getenv("LD_LIBRARY_PATH");
    const std::string dir = ORV_FAKE_CUDA_DIR;
    if (path != nullptr && (":" + std::string(path) + ":").find(":" + dir + ":") != std::string::npos) return;
    const std::string value = path != nullptr && *path != '\0' ? dir + ":" + path : dir;
    setenv("LD_LIBRARY_PATH", value.c_str(), 1);
    execv("/proc/self/exe", argv);
    orv::fuzz::fail("could not restart with the fake CUDA driver on the library path");
}

// The driver comes up once in a module's life, at the first start; its
// failures there are the GPU tests' matter. Here it is up before the first input.
void bring_up_driver() {
    orv::test::HostInstance first(*module);
    orv::test::TestFrame frame(8, 8, 32);
    if (first.init() != 0 || first.start(frame) != 0 || first.fields().gpu == nullptr || first.end() != 0)
        orv::fuzz::fail("the module did not bring the fake driver up");
}

constexpr int kMaxSteps = 32;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    put_fake_driver_on_library_path(*argv);
    try {
        driver = new orv::test::FakeDriver();
        module = new orv::test::ModuleHost(ORV_MODULE_PATH);
        if (module->register_filter() != 0) orv::fuzz::fail("the module's init entry failed");
        bring_up_driver();
    } catch (const std::exception& e) {
        orv::fuzz::fail(e.what());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    orv::fuzz::InputChoices choices(in);
    try {
        orv::fuzz::HostSession session(*module, choices, orv::fuzz::SessionProfile{},
                                       in.ConsumeIntegral<uint8_t>(), driver);
        for (int i = 0; i < kMaxSteps && !choices.exhausted(); ++i) session.step();
        session.finish();
    } catch (const std::exception& e) {
        orv::fuzz::fail(e.what());
    }
    return 0;
}
