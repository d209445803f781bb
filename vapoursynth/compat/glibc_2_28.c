/* What lets the plugin, built on a newer glibc with the C++ runtime linked
 * in, load on any glibc from 2.28 on (the wheel's manylinux_2_28 tag; `make
 * wheel` has auditwheel check every symbol version the library needs).
 *
 * - dlopen, dlsym and dlclose (the GPU route's driver loader) moved from
 *   libdl into libc at 2.34 under a new version; the link wraps them
 *   (--wrap, vapoursynth/CMakeLists.txt) to the old version, which libc
 *   still exports and which libdl defines on older systems.
 * - libstdc++.a asks for two symbols glibc gained later, for paths the
 *   plugin never takes: __libc_single_threaded (2.32), read to skip atomic
 *   operations in a single-threaded process, here 0, so they are always
 *   atomic, which is what the core's threads need anyway; and arc4random
 *   (2.36), one of std::random_device's sources, here from getrandom (2.25).
 */
#define _GNU_SOURCE
#include <errno.h>
#include <stdlib.h>
#include <sys/random.h>

void *orv_old_dlopen(const char *file, int mode);
void *orv_old_dlsym(void *handle, const char *name);
int orv_old_dlclose(void *handle);
__asm__(".symver orv_old_dlopen, dlopen@GLIBC_2.2.5");
__asm__(".symver orv_old_dlsym, dlsym@GLIBC_2.2.5");
__asm__(".symver orv_old_dlclose, dlclose@GLIBC_2.2.5");

__attribute__((visibility("hidden"))) void *__wrap_dlopen(const char *file, int mode) { return orv_old_dlopen(file, mode); }
__attribute__((visibility("hidden"))) void *__wrap_dlsym(void *handle, const char *name) { return orv_old_dlsym(handle, name); }
__attribute__((visibility("hidden"))) int __wrap_dlclose(void *handle) { return orv_old_dlclose(handle); }

__attribute__((visibility("hidden"))) char __libc_single_threaded = 0;

__attribute__((visibility("hidden"))) unsigned int arc4random(void)
{
    unsigned int value;
    ssize_t got;
    while ((got = getrandom(&value, sizeof value, 0)) != (ssize_t)sizeof value) {
        /* A kernel without getrandom (before 3.17) is older than any system
           with glibc 2.28 and the core's Python; only a signal can land here. */
        if (got < 0 && errno != EINTR)
            abort();
    }
    return value;
}
