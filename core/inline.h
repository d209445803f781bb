// Forced inlining, for the small helpers of per-pixel loops: a call left in
// such a loop costs more than the helper's work.
#pragma once

#define ORV_INLINE inline __attribute__((always_inline))
