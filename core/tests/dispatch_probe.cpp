// What the dispatch does on this processor, as CPUID describes it: the set it
// picks, and whether the route on that set gives the reference route's bytes
// on a few frames. Run by the test that masks CPUID, and by the benchmark.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/fast_route.h"
#include "core/settings.h"
#include "test_support/random_frames.h"

int main() {
    using namespace orv;
    test::SplitMix64 rng{22};
    bool same = true;
    for (int k = 0; k < 12; ++k) {
        const int32_t w = rng.range(1, 300), h = rng.range(1, 40);
        std::vector<uint32_t> src = test::random_picture(rng, w, h), fast(src.size()), ref(src.size());
        FilterInstance a{};
        init_instance(a, 1);
        a.f1 = rng.range(0, 100), a.f2 = rng.range(0, 100), a.sharp = rng.range(0, 8);
        a.interlace = rng.range(0, 1), a.showNoise = k == 5;
        FilterInstance b = a;
        auto view = [&](std::vector<uint32_t>& f) { return FrameView{reinterpret_cast<uint8_t*>(f.data()), 4 * w, w, h}; };
        same = run_fast_route(a, view(src), view(fast)) == run_reference_route(b, view(src), view(ref)) && fast == ref &&
               same;
        std::free(a.lumaPlane);
        release_line_ring(a);
        std::free(b.lumaPlane);
        release_line_ring(b);
    }
    std::printf("%s %s\n", best_kernel_set().name, same ? "identical" : "differs");
    return same ? 0 : 1;
}
