#include "cli/cpu_count.h"

#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace orv::cli {

namespace {

std::string first_line(const std::filesystem::path& p) {
    std::ifstream f(p);
    std::string line;
    std::getline(f, line);
    return line;
}

// The tightest quota from this process's cgroup up to the root (v2), or of
// the cgroup a container sees as its own (v1). 0 where none is set.
int cgroup_cpus(const std::filesystem::path& root, const std::filesystem::path& selfCgroup) {
    std::ifstream self(selfCgroup);
    std::string line, own;
    while (std::getline(self, line))
        if (line.rfind("0::", 0) == 0) own = line.substr(3);
    int least = cpus_of_quota(first_line(root / "cpu/cpu.cfs_quota_us") + " " +
                              first_line(root / "cpu/cpu.cfs_period_us"));
    for (std::filesystem::path p = std::filesystem::path(own).relative_path();; p = p.parent_path()) {
        const int n = cpus_of_quota(first_line(root / p / "cpu.max"));
        if (n > 0 && (least == 0 || n < least)) least = n;
        if (p.empty()) break;
    }
    return least;
}

}  // namespace

int cpus_of_quota(const std::string& line) {
    long long quota = 0, period = 0;
    char end = 0;
    if (std::sscanf(line.c_str(), "%lld %lld%c", &quota, &period, &end) != 2 || quota <= 0 || period <= 0) return 0;
    return static_cast<int>(std::min<long long>((quota + period - 1) / period, 1 << 16));
}

int usable_cpu_count() {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int n = sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set)
                                                              : static_cast<int>(std::thread::hardware_concurrency());
    return usable_cpu_count(n, "/sys/fs/cgroup", "/proc/self/cgroup");
}

int usable_cpu_count(int affinity, const std::filesystem::path& cgroupRoot, const std::filesystem::path& selfCgroup) {
    int n = affinity;
    if (const int quota = cgroup_cpus(cgroupRoot, selfCgroup); quota > 0 && quota < n) n = quota;
    return std::max(n, 1);
}

}  // namespace orv::cli
