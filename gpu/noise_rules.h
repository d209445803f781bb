// How a frame's measured noise steers its GPU denoise: the estimate is
// smoothed across frames, and the smoothed value raises both strengths and
// caps the sharpening for the frame at hand.
#pragma once

#include <cstdint>

namespace orv {

// The new noiseSigma after a successful profile that measured `sigma`. The
// first estimate (noiseSigma 0 or below) is taken as it is; later ones move
// the value 35 % of the way towards the new one, in single precision.
float smoothing_rule(float noiseSigma, float sigma) noexcept;

struct AdaptedSettings {
    int32_t f1, f2, sharp;
};

// The settings one GPU frame runs with: both strengths raised by twice the
// noise (rounded, 0 to 45) up to at most 100, and sharp capped at 3 above a
// noise of 8 and at 2 above 15. The instance's own settings stay as they are.
AdaptedSettings adaptation_rule(float noiseSigma, int32_t f1, int32_t f2, int32_t sharp) noexcept;

}  // namespace orv
