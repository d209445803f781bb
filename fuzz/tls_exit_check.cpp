// The leak check at exit with a block of dynamic TLS that starts 16 bytes past
// a page boundary, which killed the leak checker of the GPU fuzz target now
// and then (see leak_check_tls.cpp). Small heap chunks are taken one after
// another until the next one starts there, and then the library's thread_local
// is used for the first time, so that its block gets that chunk. Passes when
// the process ends without the leak checker's fatal error.
//
//   tls_exit_check LIBRARY
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    void* lib = argc == 2 ? dlopen(argv[1], RTLD_NOW) : nullptr;
    auto* touch = lib != nullptr ? reinterpret_cast<int (*)()>(dlsym(lib, "tls_exit_check_touch")) : nullptr;
    if (touch == nullptr) {
        std::fprintf(stderr, "usage: tls_exit_check LIBRARY (with tls_exit_check_touch)\n");
        return 2;
    }
    constexpr size_t kMaxChunks = 1 << 16;
    std::vector<void*> held;
    held.reserve(kMaxChunks);
    held.push_back(std::malloc(16));
    held.push_back(std::malloc(16));
    const auto step = reinterpret_cast<uintptr_t>(held[1]) - reinterpret_cast<uintptr_t>(held[0]);
    while ((reinterpret_cast<uintptr_t>(held.back()) + step) % 4096 != 16 && held.size() < kMaxChunks)
        held.push_back(std::malloc(16));
    const bool placed = held.size() < kMaxChunks;
    touch();
    for (void* p : held) std::free(p);
    // An allocator that hands chunks out in no fixed order leaves the case
    // untried; say so rather than pass in silence.
    if (!placed) std::printf("skipped: the allocator's next small chunk could not be foreseen\n");
    return 0;
}
