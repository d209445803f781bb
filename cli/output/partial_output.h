// The output is written beside the target under a hidden name (a hidden
// folder for picture sequences) and moved into place only when complete, so
// a failed or stopped run never leaves a half file under the user's name.
// The extension stays last: it names the format.
#pragma once

#include <string>

namespace orv::cli {

struct PartialOutput {
    std::string finalName, writePath, folder;
    bool sequence = false;
    ~PartialOutput() { discard(); }
    void make(const std::string& output);
    bool prepare(std::string& error);
    bool commit(std::string& error);
    void discard() noexcept;
};

}  // namespace orv::cli
