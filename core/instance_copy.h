// Instances made from other instances. The host copies an instance whenever
// it likes, a running one included, and may copy it by its bytes; either
// way the copy must start, run and end on its own, and ending one of the two
// must leave the other whole.
#pragma once

#include "core/filter_instance.h"

namespace orv {

// Makes `fi` the owner of the resource pointers it holds. A record at another
// address than the one that took them (a copy by bytes) forgets them: they
// are the original's, to be neither used nor freed here.
void claim_resources(FilterInstance& fi);

// `to` as a copy of `from`: the settings, the dialog's saved copies and the
// noise estimate, which outlives starts and ends; none of the resources.
void copy_instance(const FilterInstance& from, FilterInstance& to);

}  // namespace orv
