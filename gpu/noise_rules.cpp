#include "gpu/noise_rules.h"

#include <algorithm>

namespace orv {

namespace {

// A strength raised by the boost, computed wide: a script may set any
// integer, and one near the top must come out at 100 like any other above.
int32_t raised(int32_t strength, int32_t boost) {
    return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(strength) + boost, 100));
}

}  // namespace

float smoothing_rule(float noiseSigma, float sigma) noexcept {
    if (noiseSigma > 0.0f) return sigma * 0.35f + noiseSigma * 0.65f;
    return sigma;
}

AdaptedSettings adaptation_rule(float noiseSigma, int32_t f1, int32_t f2, int32_t sharp) noexcept {
    const float s = noiseSigma;
    // Single precision throughout: for the float just below 0.25, (s + s) +
    // 0.5 is a rounding tie that goes up to 1.0, so the boost there is 1.
    const float twice = (s + s) + 0.5f;
    // Limited before the conversion, which truncates: no value (nor NaN) can
    // make it overflow.
    int32_t boost = 0;
    if (twice >= 45.0f)
        boost = 45;
    else if (twice >= 1.0f)
        boost = static_cast<int32_t>(twice);

    AdaptedSettings a{raised(f1, boost), raised(f2, boost), sharp};
    if (s > 8.0f) a.sharp = std::min(a.sharp, 3);
    if (s > 15.0f) a.sharp = std::min(a.sharp, 2);
    return a;
}

float windowed_sigma(std::span<const FrameProfile> profiles, int32_t n, int32_t window) noexcept {
    const int64_t last = std::min<int64_t>(n, static_cast<int64_t>(profiles.size()) - 1);
    float s = 0.0f;
    for (int64_t m = window_first(n, window); m <= last; ++m)
        if (profiles[static_cast<size_t>(m)].state == ProfileState::Measured)
            s = smoothing_rule(s, profiles[static_cast<size_t>(m)].sigma);
    return s;
}

}  // namespace orv
