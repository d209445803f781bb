#include "cli/output/sequence_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

extern "C" {
#include <libavformat/avformat.h>
}

#include "cli/frames/media.h"

namespace orv::cli {

namespace fs = std::filesystem;

namespace {

// The text before and after the pattern's number, with %% read as %.
bool split_pattern(const std::string& name, std::string& prefix, std::string& suffix) {
    std::string* part = &prefix;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '%') {
            *part += name[i];
        } else if (i + 1 < name.size() && name[i + 1] == '%') {
            *part += '%';
            ++i;
        } else {
            size_t j = i + 1;
            while (j < name.size() && std::isdigit(static_cast<unsigned char>(name[j])) != 0) ++j;
            if (j >= name.size() || name[j] != 'd' || part == &suffix) return false;
            part = &suffix;
            i = j;
        }
    }
    return part == &suffix;
}

// The number `file` has in `pattern`, or -1 when the pattern doesn't write that name.
int64_t number_in(const std::string& pattern, const std::string& prefix, const std::string& suffix,
                  const std::string& file) {
    if (file.size() <= prefix.size() + suffix.size() || file.compare(0, prefix.size(), prefix) != 0 ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
        return -1;
    const std::string digits = file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    const int n = std::stoi(digits);
    char buf[4096];
    if (av_get_frame_filename2(buf, sizeof buf, pattern.c_str(), n, 0) < 0 || file != buf) return -1;
    return n;
}

}  // namespace

std::vector<SequenceFile> existing_files(const std::string& pattern) {
    std::error_code ec;
    if (!is_sequence_pattern(pattern)) {
        if (fs::exists(pattern, ec) || fs::is_symlink(pattern, ec)) return {{0, pattern}};
        return {};
    }
    const fs::path p(pattern);
    const std::string name = p.filename().string();
    std::string prefix, suffix;
    if (!split_pattern(name, prefix, suffix)) return {};
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    std::vector<SequenceFile> found;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string file = e.path().filename().string();
        if (const int64_t n = number_in(name, prefix, suffix, file); n >= 0) found.push_back({n, (p.parent_path() / file).string()});
    }
    std::sort(found.begin(), found.end(), [](const SequenceFile& a, const SequenceFile& b) { return a.number < b.number; });
    return found;
}

std::string name_some(const std::vector<SequenceFile>& files) {
    if (files.empty()) return {};
    if (files.size() == 1) return files[0].path;
    if (files.size() == 2) return files[0].path + " and " + files[1].path;
    return files[0].path + ", " + files[1].path + " and " + std::to_string(files.size() - 2) + " more";
}

}  // namespace orv::cli

namespace orv::cli {

std::vector<SequenceFile> remove_past(const std::string& pattern, int64_t last) {
    std::vector<SequenceFile> removed;
    std::error_code ec;
    for (const SequenceFile& f : existing_files(pattern))
        if (f.number > last && fs::remove(f.path, ec)) removed.push_back(f);
    return removed;
}

}  // namespace orv::cli
