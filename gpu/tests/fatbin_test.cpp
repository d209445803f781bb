// The embedded fat binary, as the module carries it: the container that the
// CUDA fatbinary tool writes, with machine code for every architecture we
// ship and PTX for the newest, and both kernels under their device names.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string_view>
#include <utility>

#include "gpu/fatbin.h"
#include "gpu/kernels.h"

namespace {

template <class T>
T read_at(size_t offset) {
    T v;
    std::memcpy(&v, orv_fatbin + offset, sizeof v);
    return v;
}

#if ORV_EXPECT_FATBIN

TEST(Fatbin, HoldsMachineCodeForEveryShippedArchitectureAndPtxForTheNewest) {
    ASSERT_GE(orv_fatbin_size, 16u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(orv_fatbin) % 16, 0u) << "loaders expect aligned data";
    // Container header: magic, version, header size, size of the entries.
    ASSERT_EQ(read_at<uint32_t>(0), 0xBA55ED50u);
    const uint16_t headerSize = read_at<uint16_t>(6);
    ASSERT_EQ(headerSize + read_at<uint64_t>(8), orv_fatbin_size);

    // Each entry: kind (1 PTX, 2 machine code), its header size and payload
    // size, and the architecture at byte 28 of its header.
    std::set<std::pair<int, unsigned>> entries;
    for (size_t at = headerSize; at < orv_fatbin_size;) {
        ASSERT_LE(at + 32, orv_fatbin_size);
        const uint32_t entryHeader = read_at<uint32_t>(at + 4);
        const uint64_t payload = read_at<uint64_t>(at + 8);
        entries.insert({read_at<uint16_t>(at), read_at<uint32_t>(at + 28)});
        at += entryHeader + payload;
        ASSERT_LE(at, orv_fatbin_size);
    }
    const std::set<std::pair<int, unsigned>> expected = {{1, 120}, {2, 75},  {2, 80},  {2, 86},
                                                         {2, 89},  {2, 90}, {2, 100}, {2, 120}};
    EXPECT_EQ(entries, expected);

    const std::string_view bytes(reinterpret_cast<const char*>(orv_fatbin), orv_fatbin_size);
    for (const char* name : orv::kKernelNames) EXPECT_NE(bytes.find(name), std::string_view::npos) << name;
}

#else

TEST(Fatbin, IsEmptyWithoutNvcc) { EXPECT_EQ(orv_fatbin_size, 0u); }

#endif

}  // namespace
