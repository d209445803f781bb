// The emulator itself: a real barrier, shared memory per block, the reports of
// stray writes, launch shapes and the by-name launch. Each kernel here is
// written so that a launcher without that property gives a wrong answer.
#include <gtest/gtest.h>

#include <vector>

#include "test_support/emu/cuda_compat.h"
#include "test_support/emu/orv_cuda_emu.h"

namespace {

// Each thread publishes a value, then reads its neighbour's after the
// barrier, twice over. Without a real barrier the first threads read cells
// that nobody has written yet.
__global__ void rotate_through_shared(int* out) {
    ORV_SHARED(int, cell, 256);
    const unsigned t = threadIdx.x, n = blockDim.x;
    cell[t] = static_cast<int>(1000 * blockIdx.x + 3 * t + 1);
    __syncthreads();
    const int first = cell[(t + 1) % n];
    __syncthreads();
    cell[t] = 2 * first;
    __syncthreads();
    out[blockIdx.x * n + t] = cell[(t + n - 1) % n];
}

// Block 0 writes shared memory and block 1 only reads it.
__global__ void read_unwritten_shared(unsigned* out) {
    ORV_SHARED(unsigned, cell, 4);
    if (blockIdx.x == 0) cell[threadIdx.x] = 0x12345678u;
    __syncthreads();
    out[blockIdx.x * 4 + threadIdx.x] = cell[threadIdx.x];
}

__global__ void write_shared_at(int writer, int index) {
    ORV_SHARED(unsigned char, tile, 40);
    tile[threadIdx.x] = 1;
    if (static_cast<int>(threadIdx.x) == writer) tile[index] = 2;
    __syncthreads();
}

__global__ void write_word_at(unsigned* out, int writer, int index) {
    const int t = static_cast<int>(threadIdx.x);
    out[t == writer ? index : t] = 7;
}

__global__ void leave_before_barrier(int* out) {
    if (threadIdx.x == 0) return;
    __syncthreads();
    out[threadIdx.x] = 1;
}

// Every thread of the grid counts itself once and records the shapes it saw.
__global__ void count_threads(unsigned* hits, unsigned* total, unsigned* shape) {
    const unsigned block = (blockIdx.z * gridDim.y + blockIdx.y) * gridDim.x + blockIdx.x;
    const unsigned inBlock = (threadIdx.z * blockDim.y + threadIdx.y) * blockDim.x + threadIdx.x;
    const unsigned perBlock = blockDim.x * blockDim.y * blockDim.z;
    atomicAdd(&hits[block * perBlock + inBlock], 1u);
    atomicAdd(total, 1u);
    shape[0] = gridDim.x * gridDim.y * gridDim.z;
    shape[1] = perBlock;
}

using orv::emu::Checks;
using orv::emu::Dim3;
using orv::emu::Report;
using orv::emu::Status;

TEST(Emulator, BarrierIsReal) {
    std::vector<int> out(512, -1);
    Report report;
    ASSERT_TRUE(orv::emu::launch(&rotate_through_shared, Dim3{2}, Dim3{256}, Checks{}, &report, out.data()));
    for (unsigned b = 0; b < 2; ++b)
        for (unsigned t = 0; t < 256; ++t)
            ASSERT_EQ(out[b * 256 + t], static_cast<int>(2 * (1000 * b + 3 * t + 1))) << b << " " << t;
    EXPECT_EQ(report.threadsRun, 512u);
    EXPECT_EQ(report.blocksRun, 2u);
}

TEST(Emulator, SharedMemoryIsFreshForEveryBlock) {
    std::vector<unsigned> out(8, 0);
    ASSERT_TRUE(orv::emu::launch(&read_unwritten_shared, Dim3{2}, Dim3{4}, Checks{}, nullptr, out.data()));
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(out[t], 0x12345678u);
        EXPECT_NE(out[4 + t], 0x12345678u) << "block 1 saw block 0's shared memory";
    }
}

TEST(Emulator, ReportsTheThreadThatWritesOutsideSharedMemory) {
    const struct {
        int index;
        const char* where;
    } rows[] = {{40, "byte 40"}, {47, "byte 47"}, {-1, "byte -1"}};
    for (const auto& r : rows) {
        Report report;
        EXPECT_FALSE(orv::emu::launch(&write_shared_at, Dim3{3}, Dim3{32}, Checks{}, &report, 5, r.index));
        EXPECT_EQ(report.status, Status::Faulted);
        ASSERT_EQ(report.faults.size(), 3u) << "one fault per block";
        EXPECT_EQ(report.faults[2].block.x, 2u);
        EXPECT_EQ(report.faults[2].thread.x, 5u);
        EXPECT_NE(report.faults[0].what.find("tile"), std::string::npos) << report.faults[0].what;
        EXPECT_NE(report.faults[0].what.find(r.where), std::string::npos) << report.faults[0].what;
    }
    Report report;
    EXPECT_TRUE(orv::emu::launch(&write_shared_at, Dim3{3}, Dim3{32}, Checks{}, &report, 5, 39));
    EXPECT_TRUE(report.faults.empty());
}

TEST(Emulator, ReportsTheThreadThatWritesGuardedBytes) {
    std::vector<unsigned> buffer(16 + 8, 0);  // 16 words of output, then 8 guarded
    Checks checks{{{buffer.data() + 16, 8 * sizeof(unsigned), "canary"}}};
    Report report;
    EXPECT_FALSE(orv::emu::launch(&write_word_at, Dim3{1}, Dim3{16}, checks, &report, buffer.data(), 9, 18));
    ASSERT_EQ(report.faults.size(), 1u);
    EXPECT_EQ(report.faults[0].thread.x, 9u);
    EXPECT_NE(report.faults[0].what.find("canary"), std::string::npos);
    EXPECT_NE(report.faults[0].what.find("byte 8"), std::string::npos) << report.faults[0].what;

    EXPECT_TRUE(orv::emu::launch(&write_word_at, Dim3{1}, Dim3{16}, checks, &report, buffer.data(), 9, 9));
}

TEST(Emulator, ReportsAThreadThatSkipsTheBarrier) {
    std::vector<int> out(8, 0);
    Report report;
    EXPECT_FALSE(orv::emu::launch(&leave_before_barrier, Dim3{1}, Dim3{8}, Checks{}, &report, out.data()));
    ASSERT_EQ(report.faults.size(), 1u);
    EXPECT_EQ(report.faults[0].thread.x, 0u);
}

TEST(Emulator, RunsEveryThreadOfTheGridOnce) {
    const Dim3 grid{3, 2, 2}, block{4, 5, 3};
    const unsigned threads = 12 * 60;
    std::vector<unsigned> hits(threads, 0);
    unsigned total = 0, shape[2] = {};
    ASSERT_TRUE(orv::emu::launch(&count_threads, grid, block, Checks{}, nullptr, hits.data(), &total, shape));
    EXPECT_EQ(total, threads);
    for (unsigned h : hits) ASSERT_EQ(h, 1u);
    EXPECT_EQ(shape[0], 12u);
    EXPECT_EQ(shape[1], 60u);
}

TEST(Emulator, RefusesShapesADeviceRefuses) {
    const struct {
        Dim3 grid, block;
    } rows[] = {
        {{0, 1, 1}, {16, 16, 1}},      {{1, 1, 1}, {0, 1, 1}},     {{1, 65536, 1}, {1, 1, 1}},
        {{1, 1, 65536}, {1, 1, 1}},    {{1, 1, 1}, {33, 32, 1}},   {{1, 1, 1}, {1, 1, 65}},
        {{1, 1, 1}, {1025, 1, 1}},
    };
    unsigned hits[1] = {}, total = 0, shape[2] = {};
    for (const auto& r : rows) {
        Report report;
        EXPECT_FALSE(orv::emu::launch(&count_threads, r.grid, r.block, Checks{}, &report, hits, &total, shape));
        EXPECT_EQ(report.status, Status::BadConfiguration);
    }
    EXPECT_EQ(total, 0u);
}

TEST(Emulator, LaunchesByDeviceName) {
    for (const char* name : orv::kKernelNames) EXPECT_TRUE(orv::emu::has_kernel(name)) << name;

    Report report;
    EXPECT_FALSE(orv::emu::launch_by_name("_Z10orv_kernelILi8ELi8EEvPKhyPhyiiiiiii", Dim3{}, Dim3{}, nullptr, &report));
    EXPECT_EQ(report.status, Status::UnknownKernel);
    EXPECT_FALSE(orv::emu::launch_by_name(nullptr, Dim3{}, Dim3{}, nullptr, &report));
    EXPECT_EQ(report.status, Status::UnknownKernel);

    // A parameter array with a missing entry is refused before anything runs.
    unsigned long long sum = 0;
    unsigned count = 0;
    orv::ProfileParams profile{nullptr, 4, 1, 1, &sum, &count};
    auto params = profile.pointers();
    params[5] = nullptr;
    EXPECT_FALSE(orv::emu::launch_by_name(orv::emu::kProfileKernelName, Dim3{}, Dim3{16, 16}, params.data(), &report));
    EXPECT_EQ(report.status, Status::BadConfiguration);
    EXPECT_FALSE(orv::emu::launch_by_name(orv::emu::kProfileKernelName, Dim3{}, Dim3{16, 16}, nullptr, &report));
    EXPECT_EQ(report.status, Status::BadConfiguration);
    params = profile.pointers();
    EXPECT_TRUE(orv::emu::launch_by_name(orv::emu::kProfileKernelName, Dim3{}, Dim3{16, 16}, params.data(), &report));
    EXPECT_EQ(report.threadsRun, 256u);
}

}  // namespace
