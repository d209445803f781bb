// `orv denoise`: one video through the filter module.
#pragma once

#include <string>

#include "cli/options.h"

namespace orv::cli {

// Returns the process exit status: 0 on success, 1 on a failure of the run, 2
// on bad input, 3 done from a damaged input (the output is complete with
// every frame that decoded). Messages go to stderr as one line each.
int run_denoise(const Options& o, const std::string& defaultModulePath);

}  // namespace orv::cli
