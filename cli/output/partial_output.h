// The output is written beside the target under a hidden name (a hidden
// folder for picture sequences) and moved into place only when complete, so
// a failed or stopped run never leaves a half file under the user's name.
// The extension stays last: it names the format.
#pragma once

#include <string>
#include <vector>

namespace orv::cli {

struct PartialOutput {
    std::string finalName, writePath, folder;
    bool sequence = false;
    // Without --force nothing of the user's is replaced, not even a file
    // that appeared under the output's name while the run went on.
    bool replace = false;
    ~PartialOutput() { discard(); }
    void make(const std::string& output, bool replaceExisting);
    bool prepare(std::string& error);
    bool commit(std::string& error);
    void discard() noexcept;
};

// Removes what a run that was killed (SIGKILL, a crash) left while writing
// `output`: its hidden file, or its hidden folder of the same pattern. Only
// those of processes that are gone. The names removed.
std::vector<std::string> remove_stale_partials(const std::string& output);

// Moves `from` to `to` only if nothing is there, atomically where the file
// system allows: false with errno EEXIST when something is.
bool move_no_replace(const std::string& from, const std::string& to) noexcept;
// The same for a file through a hard link, where renaming can't refuse.
bool move_by_link(const std::string& from, const std::string& to) noexcept;

}  // namespace orv::cli
