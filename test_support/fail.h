// How the fuzz targets and the soak test report a broken promise: a message
// and an abort, which libFuzzer records as a crash with its input, and ctest
// as a failed test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace orv::fuzz {

[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "\n*** broken promise: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace orv::fuzz
