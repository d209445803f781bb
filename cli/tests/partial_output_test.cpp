// The finished output meets whatever is under its name at the very end: a
// file that appeared while orv ran is the user's, and only --force replaces it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/output/partial_output.h"

namespace orv::cli {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p).rdbuf();
    return s.str();
}

TEST(PartialOutput, WhatAppearedMeanwhileIsKeptAndSoIsTheResult) {
    const fs::path dir = fs::temp_directory_path() / ("orv-partial-" + std::to_string(::getpid()));
    const std::string pid = std::to_string(::getpid());
    const struct {
        const char* output;
        const char* appears;  // under the final name while the run goes on ("d/": a folder), or null
        bool force;
        const char* mine;    // where our bytes end up, or null when the commit can't keep them
        const char* theirs;  // what is then under `appears`
        const char* said;    // what the error says (DIR: the folder), or null when it commits
    } rows[] = {
        {"o.mkv", nullptr, false, "o.mkv", nullptr, nullptr},
        {"o.mkv", "o.mkv", false, "o.orv-PID.mkv", "user's",
         "DIR/o.mkv appeared while orv ran and is left as it was; the result is kept as DIR/o.orv-PID.mkv"},
        {"o.mkv", "o.mkv", true, "o.mkv", "ours 1", nullptr},
        {"o.mkv", "o.mkv/", true, nullptr, nullptr, "cannot write DIR/o.mkv: "},  // a folder can't be replaced
        {"s%02d.png", nullptr, false, "s01.png", nullptr, nullptr},
        {"s%02d.png", "s02.png", false, "orv-PID/s01.png", "user's",
         "DIR/s02.png appeared while orv ran and is left as it was; the result is kept in DIR/orv-PID"},
        {"s%02d.png", "s02.png", true, "s01.png", "ours 2", nullptr},
    };
    auto expand = [&](std::string t) {
        for (size_t at; (at = t.find("PID")) != std::string::npos;) t.replace(at, 3, pid);
        for (size_t at; (at = t.find("DIR")) != std::string::npos;) t.replace(at, 3, dir.string());
        return t;
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.output) + (r.appears ? std::string(" meeting ") + r.appears : "") +
                     (r.force ? " with --force" : ""));
        fs::remove_all(dir);
        fs::create_directories(dir);
        PartialOutput out;
        out.make((dir / r.output).string(), r.force);
        std::string error;
        ASSERT_TRUE(out.prepare(error)) << error;
        const fs::path written = out.sequence ? fs::path(out.folder) / "s01.png" : fs::path(out.writePath);
        std::ofstream(written) << "ours 1";
        if (out.sequence) std::ofstream(fs::path(out.folder) / "s02.png") << "ours 2";
        const std::string appears = r.appears != nullptr ? r.appears : "";
        if (!appears.empty() && appears.back() == '/') fs::create_directories(dir / appears / "inside");
        else if (!appears.empty()) std::ofstream(dir / appears) << "user's";
        EXPECT_EQ(out.commit(error), r.said == nullptr) << error;
        if (r.said != nullptr) {
            EXPECT_EQ(error.rfind(expand(r.said), 0), 0u) << error;
        }
        out.discard();
        if (r.mine != nullptr) {
            EXPECT_EQ(read(dir / expand(r.mine)), "ours 1");
        }
        if (r.theirs != nullptr) {
            EXPECT_EQ(read(dir / appears), r.theirs);
        }
        size_t files = 0;
        for (const auto& e : fs::recursive_directory_iterator(dir)) {
            files += e.is_regular_file();
            EXPECT_NE(e.path().filename().string().rfind(".orv-", 0), 0u) << e.path();  // nothing hidden is left
        }
        const size_t ours = r.mine == nullptr ? 0 : out.sequence ? 2 : 1;
        EXPECT_EQ(files, ours + (r.theirs != nullptr && !r.force));
    }
    // The fallback where renaming can't refuse: a link never replaces.
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "a") << "a";
    std::ofstream(dir / "b") << "b";
    EXPECT_FALSE(move_by_link((dir / "a").string(), (dir / "b").string()));
    EXPECT_EQ(read(dir / "a") + read(dir / "b"), "ab");
    EXPECT_TRUE(move_by_link((dir / "a").string(), (dir / "c").string()));
    EXPECT_TRUE(!fs::exists(dir / "a") && read(dir / "c") == "a");
    // A sequence whose hidden folder went away has nothing to commit.
    PartialOutput gone;
    gone.make((dir / "g%02d.png").string(), false);
    std::string error;
    ASSERT_TRUE(gone.prepare(error));
    fs::remove_all(gone.folder);
    EXPECT_FALSE(gone.commit(error));
    EXPECT_EQ(error.rfind("cannot write " + (dir / "g%02d.png").string() + ": ", 0), 0u) << error;
    fs::remove_all(dir);
}

// A sequence's hidden folder: one a killed run under the same process id
// left is replaced, and one that can't be made is an error with its reason.
TEST(PartialOutput, TheHiddenFolderIsMadeOrNamedAsTheError) {
    const fs::path dir = fs::temp_directory_path() / ("orv-partial-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / (".orv-" + std::to_string(::getpid())));
    std::ofstream(dir / (".orv-" + std::to_string(::getpid())) / "s07.png") << "stale";
    const struct {
        fs::path parent;
        bool ok;
        const char* reason;
    } rows[] = {
        {dir, true, ""},
        {"/proc", false, "cannot write /proc/s%02d.png: No such file or directory"},  // not even root makes a folder there
    };
    for (const auto& r : rows) {
        PartialOutput out;
        out.make((r.parent / "s%02d.png").string(), false);
        std::string error;
        bool ok = false;
        EXPECT_NO_THROW(ok = out.prepare(error)) << r.parent;
        EXPECT_EQ(ok, r.ok) << r.parent << ": " << error;
        EXPECT_NE(error.find(r.reason), std::string::npos) << error;
        EXPECT_TRUE(!r.ok || fs::is_empty(out.folder)) << out.folder;
    }
    fs::remove_all(dir);
}

// What a killed run left beside its output goes at the next run of that
// output: only its own names, and only of processes that are gone.
TEST(PartialOutput, StaleHiddenFilesOfTheSameOutputAreRemoved) {
    const fs::path dir = fs::temp_directory_path() / ("orv-stale-" + std::to_string(::getpid()));
    const pid_t gone = [] {
        const pid_t p = fork();
        if (p == 0) _exit(0);
        waitpid(p, nullptr, 0);
        return p;
    }();
    const std::string dead = std::to_string(gone), alive = std::to_string(::getppid());
    const struct {
        std::string output, entry;  // entry: a file, or a folder with a file when it ends in '/'
        bool removed;
    } rows[] = {
        {"o.mkv", ".orv-" + dead + "-o.mkv", true},
        {"o.mkv", ".orv-" + alive + "-o.mkv", false},
        {"o.mkv", ".orv-" + std::to_string(::getpid()) + "-o.mkv", false},
        {"o.mkv", ".orv-" + dead + "-p.mkv", false},
        {"o.mkv", ".orv-" + dead + "-o.mkv.part", false},
        {"o.mkv", ".orv--o.mkv", false},
        {"o.mkv", ".orv-0-o.mkv", false},
        {"o.mkv", ".orv-" + dead + "/o.mkv", false},
        {"s%02d.png", ".orv-" + dead + "/s01.png", true},
        {"s%02d.png", ".orv-" + dead + "/t01.png", false},
        {"s%02d.png", ".orv-" + alive + "/s01.png", false},
        {"s%02d.png", ".orv-" + dead + "x/s01.png", false},
    };
    for (const auto& r : rows) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path entry = dir / r.entry;
        fs::create_directories(entry.parent_path());
        std::ofstream(entry) << "left";
        const fs::path top = dir / fs::path(r.entry).begin()->string();
        const auto removed = remove_stale_partials((dir / r.output).string());
        EXPECT_EQ(fs::exists(top), !r.removed) << r.entry;
        EXPECT_EQ(removed, r.removed ? std::vector<std::string>{top.string()} : std::vector<std::string>{}) << r.entry;
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orv::cli

namespace orv::cli {
namespace {

// A name as long as the folder takes, of two-byte characters: the hidden
// name is cut to fit, at a whole character, its extension still last.
TEST(PartialOutput, TheHiddenNameOfTheLongestNameFits) {
    std::string stem;
    for (int i = 0; i < 125; ++i) stem += "\xc3\xa9";  // é
    PartialOutput p;
    p.make("/tmp/" + stem + ".mkv", false);
    const std::string name = std::filesystem::path(p.writePath).filename().string();
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.substr(name.size() - 4), ".mkv");
    const std::string cut = name.substr(0, name.size() - 4);
    EXPECT_EQ(cut.size() % 2, (".orv-" + std::to_string(::getpid()) + "-").size() % 2) << "a character cut in two";
    p.writePath.clear();
}

}  // namespace
}  // namespace orv::cli
