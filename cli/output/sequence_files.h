// The files a numbered picture pattern (img%03d.png) stands for, found on
// disk by their names: what `orv` must not write over, and what an earlier
// sequence left past the new one's end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv::cli {

struct SequenceFile {
    int64_t number;
    std::string path;
};

// The files of `pattern` that exist, by number; for a plain name, the file
// itself when it exists (number 0).
std::vector<SequenceFile> existing_files(const std::string& pattern);

// "a.png", "a.png and b.png", "a.png, b.png and 3 more".
std::string name_some(const std::vector<SequenceFile>& files);

}  // namespace orv::cli

namespace orv::cli {

// Removes the files of `pattern` numbered past `last`: what an earlier,
// longer sequence left behind. The ones removed.
std::vector<SequenceFile> remove_past(const std::string& pattern, int64_t last);

}  // namespace orv::cli
