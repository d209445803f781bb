// Differential tests of the fast CPU route against the reference: seeded
// random frames, sizes around every vector width and border reach, every
// setting including script values that wrap, on every kernel set this
// processor runs. Every output must be bit-identical.
#include <cpuid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/fast_route.h"
#include "core/settings.h"
#include "test_support/frame_util.h"

namespace orv {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// The sets the differential tests run. The ones this processor lacks are
// named once, so that a pass on an older machine says what it left out.
std::vector<const KernelSet*> sets_here() {
    std::vector<const KernelSet*> v;
    std::string lacking;
    for (const KernelSet& s : kernel_sets())
        if (runs_here(s)) v.push_back(&s);
        else lacking += std::string(" ") + s.name;
    static bool told = false;
    if (!told)
        std::printf("kernel sets not run, this processor lacks them:%s\n", lacking.empty() ? " none" : lacking.c_str());
    told = true;
    return v;
}

// Strengths and sharpening as a script may store them: the dialog's range,
// its borders, and values whose products wrap (10*f, 333*f, k*2000, sharp*R).
// 1927 and 1928 straddle the largest strength whose thresholds never wrap,
// 492 and 493 the largest whose 200*k fits 16 bits.
constexpr int32_t kStrengths[] = {0,    1,     3,     4,    6,     23,      33,      70,       100,       101,
                                  -1,   -100,  492,   493,  -493,  1000,    1927,    1928,     -1928,     6451,
                                  -6452, 6449069, 1073742,
                                  12345678, 214748365, kMax, kMin, -214748365};
constexpr int32_t kSharps[] = {0, 1, 2, 6, 7, -1, -6, 32, 33, 1000, 65536, 67108864, kMax, kMin, -67108865};

using test::Settings;

Settings random_settings(std::mt19937& rng) {
    auto pick = [&](const auto& table) { return table[rng() % std::size(table)]; };
    Settings s{pick(kStrengths), pick(kStrengths), pick(kSharps), 0, 0};
    if (rng() % 8 == 0) s.f1 = static_cast<int32_t>(rng());
    if (rng() % 8 == 0) s.sharp = static_cast<int32_t>(rng());
    if (rng() % 3 == 0) {  // the settings a user has, where most work is done
        s.f1 = static_cast<int32_t>(rng() % 101);
        s.f2 = static_cast<int32_t>(rng() % 101);
        s.sharp = static_cast<int32_t>(rng() % 7);
    }
    const int32_t interlace[] = {0, 0, 1, 2, -1};
    s.interlace = pick(interlace);
    s.showNoise = rng() % 4 == 0 ? static_cast<int32_t>(rng() % 3) : 0;
    return s;
}

std::string describe(const Settings& s) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "f1=%d f2=%d sharp=%d interlace=%d showNoise=%d", s.f1, s.f2, s.sharp, s.interlace,
                  s.showNoise);
    return buf;
}

// Frames that make the decisions go every way: pure noise (mostly structure),
// smooth content with mild noise (mixed), letterboxed flat greys with text
// (the colour model's multiples, row after row), and near-flat steps (mostly
// noise).
std::vector<uint32_t> content(std::mt19937& rng, int32_t w, int32_t h) {
    switch (rng() % 5) {
        case 0:
            return test::random_frame(rng, w, h, 0xFF000000);
        case 1:
            return test::noisy_frame(rng, w, h);
        case 2:
            return test::grey_rich_frame(w, h, static_cast<uint32_t>(rng()));
        default: {
            std::vector<uint32_t> f(static_cast<size_t>(w) * h);
            const uint32_t base = rng() & 0xFFFFFF, step = rng() % 4;
            for (size_t k = 0; k < f.size(); ++k)
                f[k] = (base + (rng() % 3) * step * 0x010101u + (k % 5 == 0 ? 0x0A0A0A : 0)) | (rng() & 0xFF000000);
            return f;
        }
    }
}

// Widths around the 16-pixel chunks, the 6-pixel border reach on both sides
// and the 256-pixel segments of a row.
int32_t random_width(std::mt19937& rng) {
    const int32_t wide[] = {44,  47,  48,  49,  53,  54,  55,  63,  64,  65,  70,  80,  81,  95,
                            96,  97,  130, 250, 255, 256, 257, 262, 263, 272, 273, 512, 513, 519};
    return rng() % 3 == 0 ? wide[rng() % std::size(wide)] : static_cast<int32_t>(1 + rng() % 40);
}

// Heights around the 6- and 12-row reach.
int32_t random_height(std::mt19937& rng) {
    const int32_t tall[] = {14, 18, 24, 25, 26, 27, 30, 37};
    return rng() % 3 == 0 ? tall[rng() % std::size(tall)] : static_cast<int32_t>(1 + rng() % 13);
}

// What the processor has, read by the compiler's own CPUID code (AVX-VNNI,
// which clang 14 doesn't name, from leaf 7.1), not by the dispatch's: the
// sets in the table's order, each with whether this processor runs it once
// the features `hidden` names (as test_support/cpuid_mask.c's hide: does)
// are gone.
struct Expected {
    const char* name;
    bool runs;
};
std::vector<Expected> expected_sets(const std::vector<std::string>& hidden = {}) {
    __builtin_cpu_init();
    const auto gone = [&](const char* f) { return std::find(hidden.begin(), hidden.end(), f) != hidden.end(); };
    unsigned a = 0, b = 0, c = 0, d = 0;
    const bool vnni256 = __get_cpuid_count(7, 1, &a, &b, &c, &d) && (a & (1u << 4)) != 0 && !gone("avxvnni");
    const bool sse41 = __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1") && !gone("sse41");
    const bool avx2 = __builtin_cpu_supports("avx2") && !gone("avx2");
    const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") && !gone("avx512");
    const bool vnni512 = avx512 && __builtin_cpu_supports("avx512vnni") && !gone("avx512vnni");
    return {{"reference", true},           {"sse41", sse41},   {"avx2", avx2},
            {"avx2vnni", avx2 && vnni256}, {"avx512", avx512}, {"avx512vnni", vnni512}};
}

// The set the dispatch must pick under the cap `capName`, among the sets that run.
std::string expected_pick(const std::vector<Expected>& sets, const std::string& capName) {
    std::string pick;
    for (const Expected& e : sets) {
        if (e.runs) pick = e.name;
        if (capName == e.name) break;
    }
    return pick;
}

TEST(FastRoute, ReportsTheSetsItTests) {
    const std::vector<Expected> expected = expected_sets();
    ASSERT_EQ(kernel_sets().size(), expected.size()) << "a kernel set this test has no expectation for";
    std::string names;
    for (size_t i = 0; i < expected.size(); ++i) {
        const KernelSet& set = kernel_sets()[i];
        EXPECT_STREQ(set.name, expected[i].name);
        EXPECT_EQ(runs_here(set), expected[i].runs) << set.name;
        if (runs_here(set)) names += std::string(" ") + set.name;
        EXPECT_EQ(best_kernel_set(set.name).name, expected_pick(expected, set.name)) << "capped at " << set.name;
    }
    std::printf("kernel sets on this processor:%s (best: %s)\n", names.c_str(), best_kernel_set(nullptr).name);
    EXPECT_EQ(best_kernel_set(nullptr).name, expected_pick(expected, ""));
    EXPECT_EQ(best_kernel_set("avx1024").name, expected_pick(expected, ""));
}

// The dispatch as a process meets it, under every cap ORV_KERNEL_SET names,
// and where CPUID can be masked (test_support/cpuid_mask.c) also as
// processors without AVX-512BW, AVX-512, AVX2 or SSE4.1, and with any of
// the sets' features hidden: the probe must
// pick the best set such a processor runs at or below the cap, and give the
// reference's bytes.
TEST(FastRoute, DispatchUnderEveryCapAndMask) {
#if !defined(ORV_DISPATCH_PROBE)
    GTEST_SKIP() << "no dispatch probe in a cross build";
#else
    const struct {
        const char* mask;  // null: CPUID as it is
        std::vector<std::string> hidden;
    } masks[] = {
        {nullptr, {}},
        {"avx512bw", {"avx512", "avx512vnni"}},
        {"", {"avx2vnni", "avx512", "avx512vnni"}},
        {"avx", {"avx2", "avx2vnni", "avx512", "avx512vnni"}},
        {"sse4", {"sse41", "avx2", "avx2vnni", "avx512", "avx512vnni"}},
    };
#if defined(ORV_CPUID_MASK)
    const std::string maskLib = ORV_CPUID_MASK;
#else
    const std::string maskLib;
#endif
    std::FILE* cpuinfo = std::fopen("/proc/cpuinfo", "r");
    std::string text(1 << 16, '\0');
    text.resize(cpuinfo != nullptr ? std::fread(text.data(), 1, text.size(), cpuinfo) : 0);
    if (cpuinfo != nullptr) std::fclose(cpuinfo);
    const bool masked = !maskLib.empty() && text.find(" cpuid_fault") != std::string::npos;
    if (!masked) std::printf("CPUID can't be masked here (no cpuid_fault, or sanitizers): caps only\n");
    // And every processor the five features make, one hidden or several:
    // sets that are not the table's first ones (AVX-512 without AVX-VNNI, as
    // on Ice Lake and Zen 4) included. The best such a processor runs, uncapped.
    const char* const features[] = {"sse41", "avx2", "avxvnni", "avx512", "avx512vnni"};
    for (unsigned subset = 1; masked && subset < 1u << std::size(features); ++subset) {
        std::vector<std::string> hidden;
        std::string mask = "hide:";
        for (unsigned k = 0; k < std::size(features); ++k)
            if (subset >> k & 1) hidden.push_back(features[k]), mask += (hidden.size() > 1 ? "," : "") + hidden.back();
        const std::string command = "CPUID_MASK=" + mask + " LD_PRELOAD='" + maskLib + "' '" + ORV_DISPATCH_PROBE + "'";
        std::FILE* probe = popen(command.c_str(), "r");
        ASSERT_NE(probe, nullptr) << command;
        char line[128] = {};
        const bool read = std::fgets(line, sizeof line, probe) != nullptr;
        pclose(probe);
        EXPECT_TRUE(read) << command;
        EXPECT_EQ(std::string(line), expected_pick(expected_sets(hidden), "") + " identical\n") << command;
    }
    for (const auto& m : masks) {
        if (m.mask != nullptr && !masked) continue;
        std::vector<Expected> expected = expected_sets();
        for (Expected& e : expected)
            if (std::find(m.hidden.begin(), m.hidden.end(), e.name) != m.hidden.end()) e.runs = false;
        for (const Expected& cap : expected) {
            std::string command = std::string("ORV_KERNEL_SET=") + cap.name + " '" + ORV_DISPATCH_PROBE + "'";
            if (m.mask != nullptr) command = "CPUID_MASK=" + std::string(m.mask) + " LD_PRELOAD='" + maskLib + "' " + command;
            std::FILE* probe = popen(command.c_str(), "r");
            ASSERT_NE(probe, nullptr) << command;
            char line[128] = {};
            const bool read = std::fgets(line, sizeof line, probe) != nullptr;
            pclose(probe);
            EXPECT_TRUE(read) << command;
            EXPECT_EQ(std::string(line), expected_pick(expected, cap.name) + " identical\n") << command;
        }
    }
#endif
}

TEST(FastRoute, LumaPlaneOfEveryColour) {
    std::mt19937 rng(11);
    std::vector<uint32_t> words(1 << 16);
    std::vector<uint8_t> want(words.size()), got(words.size() + 1), bits(words.size() / 8 + 1);
    std::vector<int16_t> wide(words.size());
    for (const KernelSet* v : sets_here())
        for (uint32_t block = 0; block < 256; ++block) {
            for (uint32_t k = 0; k < words.size(); ++k) words[k] = (block << 16 | k) | (rng() << 24);
            // Every fourth block in flat runs of 40 words, black first and
            // every fifth run, as bars and panels repeat a step's words.
            if (block % 4 == 3)
                for (uint32_t k = 0; k < words.size(); ++k)
                    words[k] = k < 200 || k / 40 % 5 == 0 ? 0 : (block << 16 | (k / 40 * 977 & 0xFFFF));
            build_luma_plane(words.data(), static_cast<int64_t>(words.size()), want.data());
            // An odd length and an odd start leave a tail to every loop.
            const int64_t n = static_cast<int64_t>(words.size()) - block % 17;
            const uint32_t* row = words.data() + block % 17;
            got.assign(got.size(), 0xA5);
            v->kernels.luma_row(row, static_cast<int32_t>(n), got.data(), wide.data(), bits.data());
            ASSERT_EQ(0, std::memcmp(got.data(), want.data() + block % 17, static_cast<size_t>(n)))
                << v->name << " block " << block;
            ASSERT_EQ(got[static_cast<size_t>(n)], 0xA5) << "wrote past the end";
            for (int64_t k = 0; k < n; ++k) {
                const uint32_t w = row[k];
                const bool multiple = (299 * (w >> 16 & 255) + 587 * (w >> 8 & 255) + 114 * (w & 255)) % 1000 == 0;
                ASSERT_EQ(wide[static_cast<size_t>(k)], got[static_cast<size_t>(k)]) << v->name << " block " << block;
                ASSERT_EQ((bits[static_cast<size_t>(k / 8)] >> (k % 8) & 1) != 0, multiple)
                    << v->name << " block " << block << " lane " << k << std::hex << " word " << w;
            }
        }
}

// Corrections a pass produces lie in -32768..32767; the small ones dominate.
int32_t random_correction(std::mt19937& rng) {
    switch (rng() % 8) {
        case 0:
            return static_cast<int32_t>(rng() % 65536) - 32768;
        case 1: {
            const int32_t edges[] = {-32768, 32767, -256, 255, 256, -255, 300, -300};
            return edges[rng() % std::size(edges)];
        }
        default:
            return static_cast<int32_t>(rng() % 61) - 30;
    }
}

// The colours where the integer rebuild can't be trusted and the model must
// decide: luma numerators 299R + 587G + 114B that are multiples of 1000.
std::vector<uint32_t> luma_multiples() {
    std::vector<uint32_t> v;
    for (uint32_t w = 0; w < (1u << 24); ++w)
        if ((299 * (w >> 16) + 587 * (w >> 8 & 255) + 114 * (w & 255)) % 1000 == 0) v.push_back(w);
    return v;
}

TEST(FastRoute, RebuildOfEveryColour) {
    std::mt19937 rng(12);
    const int32_t n = 1 << 16;
    std::vector<uint32_t> words(n), want(n), got(n + 1);
    std::vector<int32_t> S(n);
    std::vector<uint8_t> plane(n), bits(n / 8 + 1);
    std::vector<int16_t> wide(n);
    const std::vector<uint32_t> multiples = luma_multiples();
    for (const KernelSet* v : sets_here())
        for (bool showNoise : {false, true})
            // Block 256: runs of pure greys (a path of their own), each level
            // under 256 corrections. Block 257: the luma multiples beside
            // greys and other colours, each corrected by about its own luma
            // (above it the integers are off by one), in rows of every length,
            // so that they meet every lane and every row's tail. Block 258:
            // flat stretches, words in runs of 64 and corrections in runs of
            // 96, so that one repeats a step's while the other changes.
            for (uint32_t block = 0; block <= 258; block += showNoise && block < 256 ? 4 : 1) {
                for (int32_t k = 0; k < n; ++k) {
                    const uint32_t grey = static_cast<uint32_t>(k & 255) * 0x010101u;
                    uint32_t w = block == 256 ? grey : block << 16 | static_cast<uint32_t>(k);
                    S[k] = block == 256 ? (k >> 8) - 128 : random_correction(rng);
                    if (block == 258) {
                        w = multiples[static_cast<size_t>(k >> 6) * 7919 % multiples.size()];
                        S[k] = (k / 96) % 3 == 0 ? 0 : (k / 96) % 7 - 3;
                    }
                    if (block == 257) {
                        const uint32_t pick = rng() % 8;
                        w = pick < 5   ? multiples[rng() % multiples.size()]
                            : pick < 7 ? static_cast<uint32_t>(rng() % 256) * 0x010101u
                                       : static_cast<uint32_t>(rng()) & 0xFFFFFF;
                        if (rng() % 4 != 0) S[k] = luma_byte(w) + static_cast<int32_t>(rng() % 5) - 2;
                    }
                    words[k] = w | (block == 258 ? static_cast<uint32_t>(k >> 7) << 24 : rng() << 24);
                    const uint32_t o = rebuild_xrgb(words[k], S[k]);
                    want[k] = showNoise ? show_noise_word(words[k], o) : o;
                }
                // From the words alone on every other block, from their luma rows on the rest.
                const bool fromLuma = block >= 256 ? !showNoise || block == 258 : block / (showNoise ? 4 : 1) % 2 == 1;
                for (int32_t at = 0, count; at < n; at += count) {
                    count = block == 257 ? std::min<int32_t>(n - at, 1 + static_cast<int32_t>(rng() % 100))
                                         : n - static_cast<int32_t>(block % 7);
                    v->kernels.luma_row(words.data() + at, count, plane.data(), wide.data(), bits.data());
                    got[count] = 0xA5A5A5A5;
                    v->kernels.rebuild_row(words.data() + at, S.data() + at, count, showNoise, got.data(),
                                           fromLuma ? wide.data() : nullptr, fromLuma ? bits.data() : nullptr);
                    for (int32_t k = 0; k < count; ++k)
                        ASSERT_EQ(got[k], want[at + k])
                            << v->name << std::hex << " word " << words[at + k] << std::dec << " S " << S[at + k]
                            << " showNoise " << showNoise << " fromLuma " << fromLuma << " lane " << k << " of "
                            << count;
                    ASSERT_EQ(got[count], 0xA5A5A5A5u) << "wrote past the end";
                    if (block != 257) break;
                }
            }
}

// The route on packed buffers: every width 1..40 against every height 1..13,
// then random sizes up to 519 x 37, each with random settings and content;
// and each set's corrections alone, row by row, against the reference's, and
// its rows written with non-temporal stores.
TEST(FastRoute, DenoiseMatchesReference) {
    for (const KernelSet* v : sets_here()) {
        const kernels::RowKernels& k = v->kernels;
        std::mt19937 rng(13);
        std::vector<std::pair<int32_t, int32_t>> sizes;
        for (int32_t w = 1; w <= 40; ++w)
            for (int32_t h = 1; h <= 13; ++h) sizes.emplace_back(w, h);
        for (int k = 0; k < 600; ++k) sizes.emplace_back(random_width(rng), random_height(rng));
        for (const auto& size : sizes) {
            const int32_t w = size.first, h = size.second;
            const Settings s = random_settings(rng);
            const auto src = content(rng, w, h);
            const auto want = test::denoise(src, w, h, s);
            FilterInstance fi{};
            init_instance(fi, 1);
            fi.f1 = s.f1, fi.f2 = s.f2, fi.sharp = s.sharp, fi.interlace = s.interlace, fi.showNoise = s.showNoise;
            std::vector<uint32_t> got(src.size() + 1, 0xDEADBEEF);
            const auto packed = [&](const uint32_t* p) {
                return FrameView{reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(p)), 4 * w, w, h};
            };
            ASSERT_EQ(run_fast_route(fi, packed(src.data()), packed(got.data()), *v), 0);
            ASSERT_EQ(got.back(), 0xDEADBEEFu) << "wrote past the end";
            got.pop_back();
            if (got != want) {
                size_t i = 0;
                while (got[i] == want[i]) ++i;
                FAIL() << v->name << " " << w << "x" << h << " " << describe(s) << ": first difference at row "
                       << i / w << " column " << i % w << std::hex << ": " << got[i] << " instead of " << want[i];
            }
            // The plane the route left, widened, is what the corrections read.
            const kernels::PassConstants pc =
                kernels::make_pass_constants(s.f1, s.f2, s.sharp, s.interlace, s.showNoise);
            kernels::LineRing ring;
            ASSERT_TRUE(ring.make(w, h));
            for (int32_t r = 0; r < h; ++r) std::copy(fi.lumaPlane + r * w, fi.lumaPlane + (r + 1) * w, ring.row(r));
            for (int32_t j = 0; j < h; ++j) {
                const int16_t* lines[kernels::kLineCount];
                ring.lines_of(j, h, pc.step, lines);
                const kernels::RowJob job{fi.lumaPlane, lines, w, h, j, nullptr, nullptr, pc};
                std::vector<int32_t> S(w + 1, 12345), refS(w);
                k.corrections_row(job, S.data());
                kernels::corrections_row_reference(job, refS.data());
                ASSERT_EQ(S.back(), 12345) << "wrote past the end";
                S.pop_back();
                ASSERT_EQ(S, refS) << v->name << " " << w << "x" << h << " row " << j << " " << describe(s);
                // The row again with non-temporal stores, which need the output aligned.
                kernels::PassConstants streamed = pc;
                streamed.streamOutput = 1;
                std::vector<uint32_t> buffer(w + 16);
                uint32_t* row = buffer.data() + (-(reinterpret_cast<uintptr_t>(buffer.data()) / 4) & 15);
                k.denoise_row(kernels::RowJob{fi.lumaPlane, lines, w, h, j, &src[size_t(j) * w], row, streamed});
                ASSERT_TRUE(std::equal(row, row + w, want.begin() + ptrdiff_t(j) * w))
                    << v->name << " streamed " << w << "x" << h << " row " << j << " " << describe(s);
            }
            std::free(fi.lumaPlane);
            release_line_ring(fi);
        }
    }
}

// Whole frames through the route, in host memory: the fast route and the
// reference route each run on their own copy of the same memory, and every
// byte of it must agree afterwards, padding and the bytes around included.
struct Scene {
    int32_t w, h;
    ptrdiff_t srcPitch, dstPitch;
    ptrdiff_t dstShift;  // destination's lowest row, from the source's
    const char* what;
};

struct Memory {
    std::vector<uint8_t> bytes;
    ptrdiff_t srcLowest, dstLowest;
    FrameView view(const Scene& sc, ptrdiff_t lowest, ptrdiff_t pitch) {
        uint8_t* low = bytes.data() + lowest;
        return FrameView{pitch >= 0 ? low : low - (std::max(sc.h, 1) - 1) * pitch, pitch, sc.w, sc.h};
    }
    FrameView src(const Scene& sc) { return view(sc, srcLowest, sc.srcPitch); }
    FrameView dst(const Scene& sc) { return view(sc, dstLowest, sc.dstPitch); }
};

Memory lay_out(const Scene& sc, std::mt19937& rng) {
    // A frame with no pixels still gets memory around it, to show it untouched.
    const int32_t w = std::max(sc.w, 1), h = std::max(sc.h, 1);
    const auto extent = [&](ptrdiff_t pitch) { return (h - 1) * (pitch < 0 ? -pitch : pitch) + 4 * w; };
    const ptrdiff_t first = std::min<ptrdiff_t>(0, sc.dstShift);
    const ptrdiff_t last = std::max(extent(sc.srcPitch), sc.dstShift + extent(sc.dstPitch));
    Memory m;
    m.bytes.resize(static_cast<size_t>(last - first + 128));
    for (auto& b : m.bytes) b = static_cast<uint8_t>(rng());
    m.srcLowest = 64 - first;
    m.dstLowest = m.srcLowest + sc.dstShift;
    if (sc.w <= 0 || sc.h <= 0) return m;
    const auto pixels = content(rng, sc.w, sc.h);
    const FrameView s = m.src(sc);
    for (int32_t k = 0; k < sc.h; ++k) std::memcpy(s.data + k * s.pitch, &pixels[static_cast<size_t>(k) * sc.w], 4u * sc.w);
    return m;
}

void expect_same_as_reference(const Scene& sc, const Settings& s, const KernelSet* v, std::mt19937& rng) {
    Memory ref = lay_out(sc, rng);
    Memory fast = ref;
    FilterInstance a{};
    init_instance(a, 1);
    a.f1 = s.f1, a.f2 = s.f2, a.sharp = s.sharp, a.interlace = s.interlace, a.showNoise = s.showNoise;
    FilterInstance b = a;
    const int rcRef = run_reference_route(a, ref.src(sc), ref.dst(sc));
    const int rcFast = run_fast_route(b, fast.src(sc), fast.dst(sc), *v);
    const std::string where = std::string(v->name) + " " + sc.what + " " + std::to_string(sc.w) + "x" +
                              std::to_string(sc.h) + " pitches " + std::to_string(sc.srcPitch) + "/" +
                              std::to_string(sc.dstPitch) + " shift " + std::to_string(sc.dstShift) + " " + describe(s);
    EXPECT_EQ(rcFast, rcRef) << where;
    EXPECT_TRUE(fast.bytes == ref.bytes) << where;
    ASSERT_EQ(b.lumaPlaneSize, a.lumaPlaneSize) << where;
    if (a.lumaPlaneSize > 0) {
        EXPECT_EQ(0, std::memcmp(a.lumaPlane, b.lumaPlane, static_cast<size_t>(a.lumaPlaneSize))) << where;
    }
    std::free(a.lumaPlane);
    release_line_ring(a);
    std::free(b.lumaPlane);
    release_line_ring(b);
}

TEST(FastRoute, HostFramesMatchReference) {
    for (const KernelSet* v : sets_here()) {
        std::mt19937 rng(14);
        for (int k = 0; k < 300; ++k) {
            const int32_t w = random_width(rng), h = random_height(rng);
            const ptrdiff_t row = 4 * w;
            auto pitch = [&] { return (row + 4 * static_cast<ptrdiff_t>(rng() % 3)) * (rng() % 2 ? 1 : -1); };
            const ptrdiff_t sp = pitch(), asp = sp < 0 ? -sp : sp;
            const ptrdiff_t dp = pitch(), extent = (h - 1) * asp + row;
            const Scene scenes[] = {
                {w, h, sp, dp, extent + 4 * static_cast<ptrdiff_t>(rng() % 8), "apart, destination above"},
                {w, h, sp, dp, -((h - 1) * (dp < 0 ? -dp : dp) + row + 4 * static_cast<ptrdiff_t>(rng() % 8)),
                 "apart, destination below"},
                {w, h, sp, sp, 0, "in place"},
                {w, h, sp, -sp, 0, "in place, pitches of opposite sign"},
                {w, h, sp, sp + (sp < 0 ? -8 : 8), 0, "in place, destination rows farther apart"},
                {w, h, sp + (sp < 0 ? -8 : 8), -sp, 0, "in place, destination rows closer, flipped"},
                {w, h, sp, sp, asp, "destination one row up"},
                {w, h, sp, -sp, -asp, "destination one row down, flipped"},
                {w, h, sp, sp, 4, "destination one pixel on"},
                {w, h, 2 * sp, 2 * sp, asp, "rows interleaved"},
                {w, h, sp, (row / 2 + 4) * (dp < 0 ? -1 : 1), extent + 64, "destination rows overlap each other"},
                {w, h, sp + 2, dp, extent + 64, "source rows not word aligned"},
            };
            const Settings s = random_settings(rng);
            for (const Scene& sc : scenes) expect_same_as_reference(sc, s, v, rng);
            if (HasFailure()) return;
        }
    }
}

// A host's side of RowHooks that keeps the promises' books: rows asked once
// each and in order, every output row one already asked, and no more than
// kHookRows out at once. A row handed back is overwritten at once, so a route
// that read it again would show in the bytes.
struct RecordingHost {
    const std::vector<uint32_t>* src;
    int32_t w;
    std::vector<uint32_t> ring, out;
    int32_t asked = 0, given = 0, mostOut = 0;
    std::string fault;

    RecordingHost(const std::vector<uint32_t>& frame, int32_t width)
        : src(&frame), w(width), ring(size_t(width) * kHookRows), out(frame.size()) {}
    static uint32_t* source(void* context, int32_t row) {
        auto& c = *static_cast<RecordingHost*>(context);
        if (row != c.asked && c.fault.empty()) c.fault = "asked for row " + std::to_string(row) + " after " + std::to_string(c.asked);
        c.asked = row + 1;
        c.mostOut = std::max(c.mostOut, c.asked - c.given);
        uint32_t* words = &c.ring[static_cast<size_t>(row % kHookRows) * c.w];
        std::copy_n(c.src->begin() + ptrdiff_t(row) * c.w, c.w, words);
        return words;
    }
    static void output(void* context, int32_t row, const uint32_t* words) {
        auto& c = *static_cast<RecordingHost*>(context);
        if ((row != c.given || row >= c.asked) && c.fault.empty()) c.fault = "gave back row " + std::to_string(row);
        c.given = row + 1;
        std::copy_n(words, c.w, c.out.begin() + ptrdiff_t(row) * c.w);
        std::fill_n(const_cast<uint32_t*>(words), c.w, 0xDEADBEEF);
    }
};

TEST(FastRoute, HostRowHooksMatchReference) {
    // Heights below, at and past the reach of 6 and 12 rows and the ring's 32 rows.
    const struct {
        int32_t w, h, interlace;
    } sizes[] = {{1, 1, 0}, {37, 7, 0}, {70, 13, 1}, {17, 26, 1}, {33, 32, 0}, {65, 80, 1}, {300, 41, 0}};
    for (const KernelSet* v : sets_here()) {
        std::mt19937 rng(16);
        for (const auto& size : sizes) {
            Settings s = random_settings(rng);
            s.interlace = size.interlace;
            const auto src = content(rng, size.w, size.h);
            const auto want = test::denoise(src, size.w, size.h, s);
            FilterInstance fi{};
            init_instance(fi, 1);
            fi.f1 = s.f1, fi.f2 = s.f2, fi.sharp = s.sharp, fi.interlace = s.interlace, fi.showNoise = s.showNoise;
            RecordingHost host(src, size.w);
            const std::string where = std::string(v->name) + " " + std::to_string(size.w) + "x" + std::to_string(size.h) + " " + describe(s);
            ASSERT_EQ(run_fast_route(fi, size.w, size.h, RowHooks{&host, RecordingHost::source, RecordingHost::output}, *v), 0) << where;
            EXPECT_EQ(host.fault, "") << where;
            EXPECT_EQ(host.asked, size.h) << where;
            EXPECT_EQ(host.given, size.h) << where;
            EXPECT_LE(host.mostOut, kHookRows) << where;
            EXPECT_TRUE(host.out == want) << where;
            // Kernels that read lines never read the plane back: one row of it is all they need.
            EXPECT_EQ(fi.lumaPlaneSize, v->kernels.readsLines ? size.w : size.w * size.h) << where;
            std::free(fi.lumaPlane);
            release_line_ring(fi);
        }
    }
}

TEST(FastRoute, EmptyAndImpossibleFrames) {
    std::mt19937 rng(15);
    const Settings s{70, 70, 2, 0, 0};
    for (const KernelSet* v : sets_here())
        for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4}, std::pair{4, -3}, std::pair{0, 0}})
            expect_same_as_reference(Scene{w, h, 64, -64, 4096, "empty"}, s, v, rng);
    // A frame too large for the plane fails the same way before touching memory.
    FrameView huge{nullptr, 1 << 18, 65536, 65536};
    FilterInstance a{}, b{};
    EXPECT_EQ(run_fast_route(b, huge, huge), run_reference_route(a, huge, huge));
    EXPECT_EQ(b.lumaPlane, nullptr);
}

}  // namespace
}  // namespace orv
