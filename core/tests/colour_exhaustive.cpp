// Every colour through every kernel set's colour paths against the colour
// model: the luma byte of all 2^24 colours, and the rebuild of all 2^24
// colours under every correction the core can produce, in rows of every
// length with corrections that differ from pixel to pixel. Too long for the unit
// tests; its own test in the native build, on all cores.
//
//   orv_colour_exhaustive [S_LOW S_HIGH]   (default -123 122)
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "core/colour.h"
#include "core/fast_route.h"

namespace {

using orv::KernelSet;

constexpr int32_t kBlock = 1 << 16;  // colours per block: one red value

struct Mismatch {
    const KernelSet* set;
    uint32_t word;
    int32_t S;
    uint32_t got, want;
};

std::vector<const KernelSet*> vector_sets() {
    std::vector<const KernelSet*> v;
    for (const KernelSet& s : orv::kernel_sets().subspan(1))  // all but the reference
        if (orv::runs_here(s)) v.push_back(&s);
    return v;
}

// One work item: red value `red` of the luma check (S unused), or the rebuild
// of red values 0..255 under one rotation of the corrections.
// The luma byte, and whether the luma numerator is a multiple of 1000.
bool check_luma(const std::vector<const KernelSet*>& sets, uint32_t red, Mismatch& bad) {
    std::vector<uint32_t> words(kBlock);
    std::vector<uint8_t> want(kBlock), got(kBlock), bits(kBlock / 8);
    std::vector<int16_t> wide(kBlock);
    for (int32_t k = 0; k < kBlock; ++k) words[k] = red << 16 | static_cast<uint32_t>(k);
    for (int32_t k = 0; k < kBlock; ++k) want[k] = orv::luma_byte(words[k]);
    for (const KernelSet* v : sets) {
        v->kernels.luma_row(words.data(), kBlock, got.data(), wide.data(), bits.data());
        for (int32_t k = 0; k < kBlock; ++k) {
            const uint32_t n = 299 * red + 587 * (static_cast<uint32_t>(k) >> 8) + 114 * (static_cast<uint32_t>(k) & 0xFF);
            const bool multiple = (bits[k / 8] >> (k % 8) & 1) != 0;
            if (got[k] != want[k] || wide[k] != want[k] || multiple != (n % 1000 == 0)) {
                bad = Mismatch{v, words[k], 0, got[k], want[k]};
                return false;
            }
        }
    }
    return true;
}

// The rebuild from the words alone, and from the words with their luma rows
// (the row denoise's way), of red values 0..255 under item's corrections:
// over the items each colour meets each correction once, and neighbours meet
// different ones. The words go in rows of many lengths, so that every colour
// also meets a row's tail.
bool check_rebuild(const std::vector<const KernelSet*>& sets, int32_t item, int32_t lo, int32_t range, Mismatch& bad) {
    std::vector<uint32_t> words(kBlock), want(kBlock), got(kBlock);
    std::vector<uint8_t> plane(kBlock), bits(kBlock / 8 + 1);
    std::vector<int16_t> wide(kBlock);
    std::vector<int32_t> corrections(kBlock);
    for (uint32_t red = 0; red < 256; ++red) {
        for (int32_t k = 0; k < kBlock; ++k) {
            words[k] = red << 16 | static_cast<uint32_t>(k);
            corrections[k] = lo + static_cast<int32_t>((item + 7 * static_cast<int64_t>(k) + red) % range);
            want[k] = orv::rebuild_xrgb(words[k], corrections[k]);
        }
        for (const KernelSet* v : sets) {
            const orv::kernels::RowKernels& kernels = v->kernels;
            for (int32_t at = 0, piece = 0, count; at < kBlock; at += count, ++piece) {
                count = std::min(kBlock - at, 1 + (item * 31 + piece * 17 + static_cast<int32_t>(red)) % 389);
                kernels.luma_row(words.data() + at, count, plane.data(), wide.data(), bits.data());
                for (bool fromLuma : {false, true}) {
                    kernels.rebuild_row(words.data() + at, corrections.data() + at, count, 0, got.data(),
                                        fromLuma ? wide.data() : nullptr, fromLuma ? bits.data() : nullptr);
                    for (int32_t k = 0; k < count; ++k)
                        if (got[k] != want[at + k]) {
                            bad = Mismatch{v, words[at + k], corrections[at + k], got[k], want[at + k]};
                            return false;
                        }
                }
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int32_t lo = -123, hi = 122;
    if (argc == 3) lo = std::atoi(argv[1]), hi = std::atoi(argv[2]);
    const auto sets = vector_sets();
    std::printf("kernel sets checked:");
    for (const KernelSet* v : sets) std::printf(" %s", v->name);
    std::printf("%s; corrections %d..%d\n", sets.empty() ? " none (no vector set runs here)" : "", lo, hi);

    // Items 0..255 are the luma check's red values, then one per correction.
    const int64_t items = 256 + (static_cast<int64_t>(hi) - lo + 1);
    std::atomic<int64_t> next{0};
    std::atomic<bool> failed{false};
    std::vector<Mismatch> found;
    std::mutex lock;
    const auto t0 = std::chrono::steady_clock::now();
    auto work = [&] {
        Mismatch bad{};
        for (int64_t i; !failed && (i = next++) < items;) {
            const bool ok = i < 256 ? check_luma(sets, static_cast<uint32_t>(i), bad)
                                    : check_rebuild(sets, static_cast<int32_t>(i - 256), lo, hi - lo + 1, bad);
            if (!ok) {
                failed = true;
                const std::lock_guard<std::mutex> g(lock);
                found.push_back(bad);
            }
        }
    };
    std::vector<std::thread> threads(std::max(2u, std::thread::hardware_concurrency()));
    for (auto& t : threads) t = std::thread(work);
    for (auto& t : threads) t.join();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    for (const Mismatch& m : found)
        std::printf("MISMATCH %s: word %06x S %d gives %06x, the model %06x\n", m.set->name, m.word,
                    m.S, m.got, m.want);
    std::printf("%s in %.1f s on %zu threads\n", found.empty() ? "all identical" : "FAILED", s, threads.size());
    return found.empty() ? 0 : 1;
}
