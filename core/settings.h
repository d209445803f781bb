// Defaults and the two textual forms of the settings.
#pragma once

#include "core/filter_instance.h"

namespace orv {

// Sets the defaults for a machine with `processorCount` processors.
void init_instance(FilterInstance& fi, int processorCount);
int processor_count();

// The script form, Config(f1,f2,sharp,interlace,multithreading), cut to
// buflen bytes.
bool write_script_string(const FilterInstance& fi, char* buf, int buflen);
// The summary beside the filter's name, into kSummaryBufferSize bytes.
void write_summary_string(const FilterInstance& fi, char* buf);

constexpr int kSummaryBufferSize = 256;

}  // namespace orv
