// The finished output meets whatever is under its name at the very end: a
// file that appeared while orv ran is the user's, and only --force replaces it.
#include <gtest/gtest.h>

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
        const char* appears;  // written under the final name while the run goes on, or null
        bool force, ok;
        const char* mine;    // where our bytes end up
        const char* theirs;  // what is then under `appears`
    } rows[] = {
        {"o.mkv", nullptr, false, true, "o.mkv", nullptr},
        {"o.mkv", "o.mkv", false, false, "o.orv-PID.mkv", "user's"},
        {"o.mkv", "o.mkv", true, true, "o.mkv", "ours 1"},
        {"s%02d.png", nullptr, false, true, "s01.png", nullptr},
        {"s%02d.png", "s02.png", false, false, "orv-PID/s01.png", "user's"},
        {"s%02d.png", "s02.png", true, true, "s01.png", "ours 2"},
    };
    for (const auto& r : rows) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        PartialOutput out;
        out.make((dir / r.output).string(), r.force);
        std::string error;
        ASSERT_TRUE(out.prepare(error)) << error;
        const fs::path written = out.sequence ? fs::path(out.folder) / "s01.png" : fs::path(out.writePath);
        std::ofstream(written) << "ours 1";
        if (out.sequence) std::ofstream(fs::path(out.folder) / "s02.png") << "ours 2";
        if (r.appears != nullptr) std::ofstream(dir / r.appears) << "user's";
        EXPECT_EQ(out.commit(error), r.ok) << r.output << ": " << error;
        out.discard();
        std::string mine = r.mine;
        if (const size_t at = mine.find("PID"); at != std::string::npos) mine.replace(at, 3, pid);
        EXPECT_EQ(read(dir / mine), "ours 1") << r.output << " force " << r.force;
        if (r.appears != nullptr) {
            EXPECT_EQ(read(dir / r.appears), r.theirs) << r.output << " force " << r.force;
        }
        if (!r.ok) {
            const fs::path kept = out.sequence ? (dir / mine).parent_path() : dir / mine;
            EXPECT_NE(error.find(kept.string()), std::string::npos) << error;
        }
        size_t files = 0;
        for (const auto& e : fs::recursive_directory_iterator(dir)) {
            files += e.is_regular_file();
            EXPECT_NE(e.path().filename().string().rfind(".orv-", 0), 0u) << e.path();  // nothing hidden is left
        }
        EXPECT_EQ(files, (out.sequence ? 2u : 1u) + (r.appears != nullptr && !r.force)) << r.output;
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
