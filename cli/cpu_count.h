// How many processors orv may keep busy: its default number of filter
// threads.
#pragma once

#include <filesystem>
#include <string>

namespace orv::cli {

// The processors this process may run on (its affinity: taskset, a
// container's cpuset), fewer where a cgroup's CPU quota grants less time
// than that (docker --cpus). At least 1.
int usable_cpu_count();
// The same from the files given: `affinity` processors, the cgroup tree
// mounted at `cgroupRoot`, and the process's cgroups listed in `selfCgroup`
// (as /proc/self/cgroup lists them).
int usable_cpu_count(int affinity, const std::filesystem::path& cgroupRoot, const std::filesystem::path& selfCgroup);

// The whole processors a cgroup quota line grants, rounded up: cgroup v2's
// cpu.max ("QUOTA PERIOD", "max PERIOD") or v1's quota and period joined by a
// blank. 0 for no limit or a line that isn't one.
int cpus_of_quota(const std::string& line);

}  // namespace orv::cli
