#include "core/settings.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orv {

int processor_count() {
#ifdef _WIN32
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    return static_cast<int>(si.dwNumberOfProcessors);
#else
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n < 1 ? 1 : (n > 1024 ? 1024 : static_cast<int>(n));
#endif
}

void init_instance(FilterInstance& fi, int processorCount) {
    for (const SettingRow& s : kSettings) fi.*s.member = s.defaultValue;
    fi.savedAutoProfile = fi.autoProfile;
    fi.noiseSigma = 0.0f;
    fi.gpu = nullptr;
    fi.threadCount = processorCount > 4 ? 4 : processorCount;
    fi.multithreading = fi.threadCount > 1 ? 1 : 0;
    // The host zeroes the record first, but other hosts and copies may not:
    // nothing an end could free is left to chance.
    fi.preview = nullptr;
    fi.lumaPlane = nullptr;
    fi.lumaPlaneSize = 0;
    fi.lineRing = nullptr;
    fi.lastRoute = kRoutePassThrough;
    fi.gpuDeclineCall = nullptr;
    fi.gpuDeclineStatus = 0;
    fi.owner = &fi;
}

bool write_script_string(const FilterInstance& fi, char* buf, int buflen) {
    if (buf != nullptr && buflen > 0)
        std::snprintf(buf, static_cast<size_t>(buflen), "Config(%d,%d,%d,%d,%d)", fi.f1, fi.f2,
                      fi.sharp, fi.interlace, fi.multithreading);
    return true;
}

void write_summary_string(const FilterInstance& fi, char* buf) {
    if (buf == nullptr) return;
    std::snprintf(buf, kSummaryBufferSize, " (F1-%d,F2-%d,S-%d)", fi.f1, fi.f2, fi.sharp);
}

}  // namespace orv
