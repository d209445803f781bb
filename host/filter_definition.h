// The module's one filter as the host reads it, in the host's record layout.
#pragma once

#include "host/vd_interface.h"

namespace orv {

// Not const: the definition is handed to the host's addFilter, which takes it
// as writable.
extern FilterDefinition filterDefinition;

}  // namespace orv
