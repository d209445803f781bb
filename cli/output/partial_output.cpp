#include "cli/output/partial_output.h"

#include <unistd.h>

#include <filesystem>

#include "cli/frames/media.h"

namespace orv::cli {

namespace fs = std::filesystem;

void PartialOutput::make(const std::string& output) {
    finalName = output;
    const fs::path p(output);
    const std::string tag = ".orv-" + std::to_string(getpid());
    sequence = is_sequence_pattern(output);
    if (sequence) {
        folder = (p.parent_path() / tag).string();
        writePath = (fs::path(folder) / p.filename()).string();
    } else {
        writePath = (p.parent_path() / (tag + "-" + p.filename().string())).string();
    }
}

bool PartialOutput::prepare(std::string& error) {
    std::error_code ec;
    if (sequence && !fs::create_directory(folder, ec)) return (error = "cannot write " + finalName + ": " + ec.message(), false);
    return true;
}

bool PartialOutput::commit(std::string& error) {
    std::error_code ec;
    if (!sequence) {
        fs::rename(writePath, finalName, ec);
    } else {
        const fs::path dest = fs::path(finalName).parent_path();
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            fs::rename(e.path(), dest / e.path().filename(), ec);
            if (ec) break;
        }
        if (!ec) fs::remove(folder, ec);
    }
    if (ec) return (error = "cannot write " + finalName + ": " + ec.message(), false);
    writePath.clear();
    folder.clear();
    return true;
}

void PartialOutput::discard() noexcept {
    std::error_code ec;
    if (!folder.empty()) fs::remove_all(folder, ec);
    else if (!writePath.empty()) fs::remove(writePath, ec);
    writePath.clear();
    folder.clear();
}

}  // namespace orv::cli
