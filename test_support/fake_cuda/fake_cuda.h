// The control side of the fake CUDA driver (test code, never shipped). Tests
// reach it through the same library that the module under test loads as its
// driver (test_support/fake_cuda/fake_driver.h).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Forgets the call counts, the log, the planned failures and the faults seen.
// Live objects (memory, streams, modules, context references) stay.
void fake_cuda_reset(void);
// The nth call (1-based, counted from the last reset) of the entry, by its
// exported name such as "cuMemAllocPitch_v2", returns `status` and does
// nothing else. nth <= 0 fails every call from now on. A program run over
// the fake plans its failures in FAKE_CUDA_FAIL=entry:nth:status[,...],
// counted from the start (and gone at the first reset).
void fake_cuda_fail_call(const char* entry, int nth, int status);
// Calls of the entry since the last reset.
int fake_cuda_calls(const char* entry);
// Every call since the last reset, one line each: the entry's name, its main
// arguments, and " -> status" when it did not succeed. Valid until the next
// control call.
const char* fake_cuda_log_text(void);
// Live objects of a kind: "allocations", "streams", "modules", "context_refs";
// "kilobytes" is the device memory they hold, rounded up.
int fake_cuda_live(const char* kind);
// Kernel launches since the last reset that broke a rule on the emulator or
// were handed a pointer outside device memory.
int fake_cuda_faults(void);
// Contexts current on the calling thread.
int fake_cuda_current_depth(void);

#ifdef __cplusplus
}
#endif
