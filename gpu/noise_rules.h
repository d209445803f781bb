// How a frame's measured noise steers its GPU denoise: the estimate is
// smoothed across frames, and the smoothed value raises both strengths and
// caps the sharpening for the frame at hand.
#pragma once

#include <cstdint>
#include <span>

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

// One frame's own profile, for a host that takes frames in any order and
// keeps each frame's profile by its number.
enum class ProfileState : uint8_t { Unknown, Measured, Failed };
struct FrameProfile {
    float sigma = 0.0f;
    ProfileState state = ProfileState::Unknown;
};

// Frames before frame n whose profiles its estimate folds. The weight the
// smoothing rule leaves on everything before them is 0.65^33, 6.7e-7: on a
// two-million-frame run of scenes with noise of 0 to 30, the adapted
// settings differed from those of the whole history on one frame, by one
// step of strength (frames n-24..n: on 46).
inline constexpr int32_t kSigmaWindow = 32;

// The first frame of frame n's window.
constexpr int32_t window_first(int32_t n, int32_t window) noexcept { return n > window ? n - window : 0; }

// Frame n's noiseSigma from frames window_first(n, window) to n alone, so
// that it is the same whatever was filtered before: the smoothing rule from
// no estimate at the window's first frame, over each measured profile in
// frame order; a failed or unknown one leaves the estimate as it was, as a
// failed profile does. profiles[m] is frame m's; frames past its end count
// as unknown. The first window+1 frames of a clip get what the rule gives
// them taken in order from the start.
float windowed_sigma(std::span<const FrameProfile> profiles, int32_t n, int32_t window) noexcept;

}  // namespace orv
