// orv.Denoise: the filter node the core runs.
#pragma once

#include "VapourSynth4.h"

namespace orv::vs {

// The registered function: checks the clip and the arguments and adds the
// node to `out`, or sets one line of error there.
void VS_CC denoise_create(const VSMap* in, VSMap* out, void* userData, VSCore* core, const VSAPI* vsapi) noexcept;

}  // namespace orv::vs
