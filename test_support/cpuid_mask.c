// LD_PRELOAD library: makes a process see a CPU without AVX-512 (and AVX-VNNI), on the real CPU at
// full speed, so that the kernel-set dispatch can be checked and timed as older processors meet it.
// CPUID_MASK=avx hides AVX, AVX2 and FMA too; CPUID_MASK=sse4 hides SSE4.1 and SSE4.2 as well;
// CPUID_MASK=avx512bw hides AVX-512BW alone (as on Xeon Phi, which has AVX-512F without BW).
// CPUID_MASK=hide:NAME,NAME... hides those features alone, for processors whose kernel sets are not the
// first ones of the table (AVX-512 VNNI without AVX-VNNI, as on Ice Lake): sse41, avx2, avxvnni,
// avx512 (its BW part) and avx512vnni.
// It turns on the kernel's CPUID faulting (arch_prctl ARCH_SET_CPUID; needs the cpuid_fault flag in
// /proc/cpuinfo) and answers each CPUID itself from the real one with those feature bits cleared.
// Not for processes with sanitizers, which take SIGSEGV for themselves.
#define _GNU_SOURCE
#include <signal.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <ucontext.h>
#include <unistd.h>
#include <sys/syscall.h>
#include <asm/prctl.h>
#include <cpuid.h>

static int mask_avx, mask_sse4, mask_bw_only, hide_only;
static unsigned hide_1c, hide_7b, hide_7c, hide_71a;
static volatile unsigned long faults;

static void set_faulting(int on) { syscall(SYS_arch_prctl, ARCH_SET_CPUID, on ? 0 : 1); }

static void on_segv(int sig, siginfo_t* si, void* uc_) {
  ucontext_t* uc = uc_;
  greg_t* r = uc->uc_mcontext.gregs;
  const unsigned char* ip = (const unsigned char*)r[REG_RIP];
  if (ip[0] != 0x0f || ip[1] != 0xa2) { signal(SIGSEGV, SIG_DFL); raise(SIGSEGV); return; }
  unsigned leaf = (unsigned)r[REG_RAX], sub = (unsigned)r[REG_RCX], a, b, c, d;
  set_faulting(0);
  __cpuid_count(leaf, sub, a, b, c, d);
  set_faulting(1);
  if (hide_only) {
    if (leaf == 1) c &= ~hide_1c;
    if (leaf == 7 && sub == 0) b &= ~hide_7b, c &= ~hide_7c;
    if (leaf == 7 && sub == 1) a &= ~hide_71a;
  } else if (leaf == 7 && sub == 0 && mask_bw_only) b &= ~(1u << 30);
  else if (leaf == 7 && sub == 0) {
    b &= ~((1u << 16) | (1u << 17) | (1u << 21) | (1u << 26) | (1u << 27) | (1u << 28) | (1u << 30) | (1u << 31));
    c &= ~((1u << 1) | (1u << 6) | (1u << 11) | (1u << 12) | (1u << 14));
    d &= ~((1u << 2) | (1u << 3) | (1u << 8) | (1u << 23));
    if (mask_avx) b &= ~(1u << 5);                     // AVX2
  }
  if (leaf == 7 && sub == 1 && !mask_bw_only && !hide_only) a &= ~((1u << 4) | (1u << 5));   // AVX-VNNI, AVX512_BF16
  if (leaf == 1 && mask_avx) c &= ~((1u << 28) | (1u << 12)); // AVX, FMA
  if (leaf == 1 && mask_sse4) c &= ~((1u << 19) | (1u << 20) | (1u << 23)); // SSE4.1, SSE4.2, POPCNT
  r[REG_RAX] = a; r[REG_RBX] = b; r[REG_RCX] = c; r[REG_RDX] = d;
  r[REG_RIP] += 2;
  faults++;
  (void)sig; (void)si;
}

__attribute__((constructor)) static void start(void) {
  const char* m = getenv("CPUID_MASK");
  mask_sse4 = m && strcmp(m, "sse4") == 0;
  mask_avx = m && (strcmp(m, "avx") == 0 || mask_sse4);
  mask_bw_only = m && strcmp(m, "avx512bw") == 0;
  hide_only = m && strncmp(m, "hide:", 5) == 0;
  if (hide_only) {
    char names[128];
    strncpy(names, m + 5, sizeof names - 1);
    names[sizeof names - 1] = 0;
    for (char* save = 0, *n = strtok_r(names, ",", &save); n; n = strtok_r(0, ",", &save)) {
      if (!strcmp(n, "sse41")) hide_1c |= 1u << 19;
      else if (!strcmp(n, "avx2")) hide_7b |= 1u << 5;
      else if (!strcmp(n, "avxvnni")) hide_71a |= 1u << 4;
      else if (!strcmp(n, "avx512")) hide_7b |= 1u << 30;
      else if (!strcmp(n, "avx512vnni")) hide_7c |= 1u << 11;
      else abort();
    }
  }
  struct sigaction sa;
  memset(&sa, 0, sizeof sa);
  sa.sa_sigaction = on_segv;
  sa.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigaction(SIGSEGV, &sa, 0);
  set_faulting(1);
}
