#include "cli/output/partial_output.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "cli/frames/media.h"
#include "cli/output/sequence_files.h"

namespace orv::cli {

namespace fs = std::filesystem;

namespace {

std::string tag() { return ".orv-" + std::to_string(getpid()); }

// head + stem + tail + ext in `dir`, the stem cut (at a whole UTF-8
// character) until the name fits the folder's longest: a name the user
// could give may leave no room for the hidden one's extra characters.
std::string fitted(const fs::path& dir, const std::string& head, std::string stem, const std::string& tail,
                   const std::string& ext) {
    const long most = pathconf(dir.empty() ? "." : dir.c_str(), _PC_NAME_MAX);
    const size_t limit = most > 0 ? static_cast<size_t>(most) : 255;
    const size_t extra = head.size() + tail.size() + ext.size();
    if (extra + stem.size() > limit && extra < limit) {
        stem.resize(limit - extra);
        while (!stem.empty() && (static_cast<unsigned char>(stem.back()) & 0xC0) == 0x80) stem.pop_back();
        if (!stem.empty() && static_cast<unsigned char>(stem.back()) >= 0xC0) stem.pop_back();
    }
    return (dir / (head + stem + tail + ext)).string();
}

// A visible name beside `name` for a result that could not take it:
// o.mkv -> o.orv-PID.mkv, the extension still last.
std::string kept_name(const fs::path& name) {
    return fitted(name.parent_path(), "", name.stem().string(), tag(), name.extension().string());
}

// Moves a finished file into place; on a clash the user's file stays and
// ours goes to a name of its own, which the error gives.
bool commit_file(const std::string& from, const std::string& to, bool replace, bool& kept, std::string& error) {
    std::error_code ec;
    if (replace) {
        fs::rename(from, to, ec);
        return ec ? (error = "cannot write " + to + ": " + ec.message(), false) : true;
    }
    if (move_no_replace(from, to)) return true;
    if (errno != EEXIST) return (error = "cannot write " + to + ": " + std::strerror(errno), false);
    const std::string why = to + " appeared while orv ran and is left as it was";
    const std::string other = kept_name(to);
    if (!move_no_replace(from, other)) return (error = why + "; the result could not be kept: " + std::strerror(errno), false);
    kept = true;
    return (error = why + "; the result is kept as " + other, false);
}

// A sequence goes in whole or not at all: on a clash the files already moved
// go back, and the folder becomes visible under a name the error gives.
bool commit_sequence(const std::string& folder, const std::string& pattern, bool replace, bool& kept,
                     std::string& error) {
    std::error_code ec;
    const fs::path dest = fs::path(pattern).parent_path();
    std::vector<fs::path> moved;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        const fs::path to = dest / e.path().filename();
        if (replace) {
            fs::rename(e.path(), to, ec);
            if (ec) return (error = "cannot write " + to.string() + ": " + ec.message(), false);
            continue;
        }
        if (move_no_replace(e.path().string(), to.string())) {
            moved.push_back(to);
            continue;
        }
        const std::string why = errno == EEXIST ? to.string() + " appeared while orv ran and is left as it was"
                                                : "cannot write " + to.string() + ": " + std::strerror(errno);
        for (const fs::path& m : moved) fs::rename(m, fs::path(folder) / m.filename(), ec);
        const std::string other = (dest / ("orv" + tag().substr(4))).string();
        if (!move_no_replace(folder, other)) return (error = why + "; the result could not be kept: " + std::strerror(errno), false);
        kept = true;
        return (error = why + "; the result is kept in " + other, false);
    }
    if (ec) return (error = "cannot write " + pattern + ": " + ec.message(), false);
    fs::remove(folder, ec);
    return true;
}

}  // namespace

bool move_no_replace(const std::string& from, const std::string& to) noexcept {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    // Some file systems can't rename without replacing; a hard link can't
    // replace either (folders can't be linked, so they have no fallback).
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    return move_by_link(from, to);
}

bool move_by_link(const std::string& from, const std::string& to) noexcept {
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

std::vector<std::string> remove_stale_partials(const std::string& output) {
    const fs::path p(output);
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    const bool sequence = is_sequence_pattern(output);
    const std::string name = p.filename().string();
    std::vector<std::string> removed;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        const std::string n = e.path().filename().string();
        if (n.rfind(".orv-", 0) != 0) continue;
        const size_t end = n.find_first_not_of("0123456789", 5);
        if (end == 5) continue;
        const std::string rest = end == std::string::npos ? "" : n.substr(end);
        // A file is .orv-PID-NAME; a sequence's folder .orv-PID holds files of its pattern.
        const bool ours = sequence ? rest.empty() && !existing_files((e.path() / name).string()).empty() : rest == "-" + name;
        const long pid = std::strtol(n.c_str() + 5, nullptr, 10);
        if (!ours || pid <= 0 || pid == getpid() || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        fs::remove_all(e.path(), ec);
        if (!ec) removed.push_back((p.parent_path() / n).string());
    }
    return removed;
}

void PartialOutput::make(const std::string& output, bool replaceExisting) {
    finalName = output;
    replace = replaceExisting;
    const fs::path p(output);
    sequence = is_sequence_pattern(output);
    if (sequence) {
        folder = (p.parent_path() / tag()).string();
        writePath = (fs::path(folder) / p.filename()).string();
    } else {
        writePath = fitted(p.parent_path(), tag() + "-", p.stem().string(), "", p.extension().string());
    }
}

bool PartialOutput::prepare(std::string& error) {
    if (!sequence) return true;
    std::error_code ec;
    // Only an earlier run under our process id, killed before it could clean
    // up, leaves a folder of this name; a file of ours is written over too.
    fs::remove_all(folder, ec);
    if (!ec && fs::create_directory(folder, ec)) return true;
    return (error = "cannot write " + finalName + ": " + (ec ? ec.message() : folder + " is in the way"), false);
}

bool PartialOutput::commit(std::string& error) {
    bool kept = false;
    const bool ok = sequence ? commit_sequence(folder, finalName, replace, kept, error)
                             : commit_file(writePath, finalName, replace, kept, error);
    // A result kept under another name is the user's now: nothing removes it.
    if (ok || kept) writePath.clear(), folder.clear();
    return ok;
}

void PartialOutput::discard() noexcept {
    std::error_code ec;
    if (!folder.empty()) fs::remove_all(folder, ec);
    else if (!writePath.empty()) fs::remove(writePath, ec);
    writePath.clear();
    folder.clear();
}

}  // namespace orv::cli
