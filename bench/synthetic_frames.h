// Deterministic frames of realistic noisy content for the benchmark: colour
// gradients, hard-edged shapes and fine texture under Gaussian sensor noise.
#pragma once

#include <cstdint>
#include <vector>

namespace orv::bench {

// `count` XRGB frames of w x h packed pixels; frame k moves its shapes and
// draws fresh noise, so no two are alike. The same arguments always give the
// same frames, on every platform.
std::vector<std::vector<uint32_t>> synthetic_frames(int32_t w, int32_t h, int count);

}  // namespace orv::bench
