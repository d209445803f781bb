// Which files on disk a numbered pattern stands for: what orv must not write
// over, and what it removes past a new sequence's end.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/output/sequence_files.h"

namespace orv::cli {
namespace {

namespace fs = std::filesystem;

TEST(SequenceFiles, APatternStandsForItsOwnNamesOnly) {
    const fs::path dir = fs::temp_directory_path() / ("orv-seq-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const char* name : {"a000.png", "a001.png", "a012.png", "a01.png", "a1000.png", "a001.jpg", "ab001.png",
                             "p%1.png", "p%01.png", "x7.png"})
        std::ofstream(dir / name) << "x";
    const struct {
        const char* pattern;
        const char* files;  // the numbers found
    } rows[] = {
        {"a%03d.png", "0 1 12 1000 "},  // a01.png is not a%03d's, a1000.png is (four digits fill a width of three)
        {"p%%%d.png", "1 "},            // %% is a literal %
        {"x%d.png", "7 "},
        {"x7.png", "0 "},  // a plain name: itself
        {"none%d.png", ""},
    };
    for (const auto& r : rows) {
        std::string got;
        for (const SequenceFile& f : existing_files((dir / r.pattern).string())) got += std::to_string(f.number) + " ";
        EXPECT_EQ(got, r.files) << r.pattern;
    }
    EXPECT_EQ(remove_past((dir / "a%03d.png").string(), 1).size(), 2u);
    EXPECT_TRUE(fs::exists(dir / "a001.png") && !fs::exists(dir / "a012.png") && fs::exists(dir / "a01.png"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orv::cli
