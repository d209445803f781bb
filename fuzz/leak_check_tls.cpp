// Linked into the programs here that take the GPU route under LeakSanitizer.
//
// The module and the fake driver are loaded with dlopen and have thread_local
// variables, so glibc gives each thread a block of dynamic TLS for each of
// them, taken from malloc at its first use. The sanitizer runtimes before
// LLVM 17 and GCC 14 intercept __tls_get_addr to note those blocks for the
// leak check, and take a block that starts 16 bytes past a page boundary for
// one that carries the header glibc wrote before 2.25: they read the two words
// before it, nowadays the allocator's own chunk header, as the block's start
// and size. The leak check then scans from a small number (the allocation's
// stack id) and its tracer dies of SIGSEGV, after the last input, and
// libFuzzer writes an empty input as the crash. The module's 4-byte block
// lands wherever the heap stands at the first kernel launch, which depends on
// the corpus, so this struck now and then.
//
// Without the interception the leak check is what it was: on glibc 2.25 or
// later those runtimes could size no other block (they recorded each one
// empty, so scanned none as a root). What the blocks point to stays reachable
// through glibc's own records of them, and a leak is reported as before.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
