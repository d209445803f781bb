#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/config_line.h"
#include "cli/cpu_count.h"
#include "cli/options.h"
#include "cli/progress.h"

namespace orv::cli {
namespace {

TEST(ConfigLine, Parses) {
    const struct {
        const char* text;
        const char* name;
        std::vector<int32_t> args;
    } rows[] = {
        {"Config(70,70,2,0,1)", "Config", {70, 70, 2, 0, 1}},
        {"  Config ( -5 , +300,9,2,7 ) ; ", "Config", {-5, 300, 9, 2, 7}},
        {"Config(-2147483648,2147483647,0,0,0)", "Config", {INT32_MIN, INT32_MAX, 0, 0, 0}},
        {"Other()", "Other", {}},
        {"Config(1)", "Config", {1}},
    };
    for (const auto& r : rows) {
        std::string err;
        const auto call = parse_script_call(r.text, err);
        ASSERT_TRUE(call) << r.text << ": " << err;
        EXPECT_EQ(call->name, r.name);
        EXPECT_EQ(call->args, r.args) << r.text;
    }
}

TEST(ConfigLine, Rejects) {
    const struct {
        const char* text;
        const char* reason;
    } rows[] = {
        {"", "function name"},
        {"(1,2)", "function name"},
        {"Config 1,2", "'('"},
        {"Config(1,2", "')'"},
        {"Config(1,,2)", "argument 2"},
        {"Config(a,2)", "argument 1"},
        {"Config(1.5,2)", "')'"},
        {"Config(2147483648)", "argument 1"},
        {"Config(-2147483649)", "argument 1"},
        {"Config(99999999999999999999)", "argument 1"},
        {"Config(1) extra", "after ')'"},
        {"9Config(1)", "function name"},
    };
    for (const auto& r : rows) {
        std::string err;
        EXPECT_FALSE(parse_script_call(r.text, err)) << r.text;
        EXPECT_NE(err.find(r.reason), std::string::npos) << r.text << " gave: " << err;
    }
}

TEST(Options, Errors) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } rows[] = {
        {{}, "no command"},
        {{"denoise", "a.mp4"}, "INPUT and OUTPUT"},
        {{"denoise", "a", "b", "c"}, "INPUT and OUTPUT"},
        {{"shrink", "a", "b"}, "unknown command shrink"},
        {{"denoise", "a", "b", "--bogus"}, "unknown option --bogus"},
        {{"denoise", "a", "b", "--f1", "101"}, "--f1 takes a whole number from 0 to 100"},
        {{"denoise", "a", "b", "--f2", "-1"}, "--f2 takes"},
        {{"denoise", "a", "b", "--sharp", "7"}, "--sharp takes a whole number from 0 to 6"},
        {{"denoise", "a", "b", "--sharp", "x"}, "not 'x'"},
        {{"denoise", "a", "b", "--f1"}, "--f1 needs a value"},
        {{"denoise", "-", "b"}, "needs --size"},
        {{"denoise", "-", "b", "--size", "0x5"}, "--size takes"},
        {{"denoise", "-", "b", "--size", "640"}, "--size takes"},
        {{"denoise", "a", "b", "--interlace", "--no-interlace"}, "--interlace and --no-interlace contradict"},
        {{"denoise", "a", "b", "--disable", "--show-noise"}, "--disable and --show-noise contradict"},
        {{"denoise", "a", "b", "--verbose", "--quiet"}, "--quiet and --verbose contradict"},
        {{"denoise", "a", "b", "--threads", "-1"}, "--threads takes a whole number from 0 to 256"},
        {{"denoise", "a", "b", "--threads", "257"}, "--threads takes"},
        {{"denoise", "a", "b", "--crf", "abc"}, "--crf takes a number, not 'abc'"},
        {{"denoise", "--", "a", "b", "--force"}, "INPUT and OUTPUT"},  // after --, operands only
    };
    for (const auto& r : rows) {
        std::string err;
        EXPECT_FALSE(parse_options(r.args, err));
        EXPECT_NE(err.find(r.message), std::string::npos) << "got: " << err;
    }
}

TEST(Options, Parses) {
    std::string err;
    const auto o = parse_options({"denoise", "in.mkv", "out.mkv", "--config", "Config(1,2,3,0,1)", "--f1", "100",
                                  "--sharp", "0", "--interlace", "--show-noise", "--no-auto-profile", "--force",
                                  "--size", "64x48", "--codec", "ffv1", "--threads", "0", "--format", "matroska"},
                                 err);
    ASSERT_TRUE(o) << err;
    EXPECT_EQ(o->configLine, "Config(1,2,3,0,1)");
    const auto& v = o->settings;
    EXPECT_EQ(v[kSetting.f1], 100);
    EXPECT_FALSE(v[kSetting.f2]);
    EXPECT_EQ(v[kSetting.sharp], 0);
    EXPECT_EQ(v[kSetting.interlace], 1);
    EXPECT_EQ(v[kSetting.showNoise], 1);
    EXPECT_EQ(v[kSetting.autoProfile], 0) << "a switch sets the value that is not the default";
    EXPECT_FALSE(v[kSetting.disable]);
    EXPECT_TRUE(o->force);
    EXPECT_EQ(o->threads, 0);
    EXPECT_EQ(o->format, "matroska");
    EXPECT_EQ(o->width, 64);
    EXPECT_EQ(o->height, 48);
    EXPECT_EQ(o->codec, "ffv1");
    EXPECT_EQ(parse_options({"--help"}, err)->command, "help");
    const auto dashed = parse_options({"denoise", "--quiet", "--", "-x.mkv", "take:1.mkv"}, err);
    ASSERT_TRUE(dashed) << err;
    EXPECT_EQ(dashed->input + " " + dashed->output, "-x.mkv take:1.mkv");
}

// --config passes any value to the filter; the line says which are beyond
// what the plain options take, unless one of those overrides it.
TEST(Options, ConfigBeyondRanges) {
    const struct {
        std::vector<std::string> extra;
        const char* line;
    } rows[] = {
        {{"--config", "Config(70,70,2,0,1)"}, ""},
        {{"--config", "Config(0,100,6,0,1)"}, ""},
        {{"--config", "Config(200,-1,7,0,1)"},
         "--config sets f1 200 (--f1 takes 0 to 100), f2 -1 (--f2 takes 0 to 100), sharp 7 (--sharp takes 0 to 6); "
         "the filter takes the values as they are, as its host does"},
        {{"--config", "Config(101,70,-1,0,1)", "--f1", "5"}, "--config sets sharp -1 (--sharp takes 0 to 6)"},
        {{"--config", "Config(70,70,2,9,9)"}, ""},
        {{"--config", "Other(500)"}, ""},
        {{}, ""},
    };
    for (const auto& r : rows) {
        std::vector<std::string> args{"denoise", "a", "b"};
        args.insert(args.end(), r.extra.begin(), r.extra.end());
        std::string err;
        const auto o = parse_options(args, err);
        ASSERT_TRUE(o) << err;
        const std::string got = config_beyond_ranges(*o);
        if (*r.line == '\0') EXPECT_EQ(got, "") << ::testing::PrintToString(r.extra);
        else EXPECT_EQ(got.rfind(r.line, 0), 0u) << got;
    }
}

// --help is made from the settings' table: each option with its whole help,
// its later lines under the first.
TEST(Options, HelpShowsEverySetting) {
    const std::string usage = usage_text();
    const std::string indent = "\n" + std::string(23, ' ');
    for (const SettingRow& s : kSettings) {
        if (s.option == nullptr) continue;
        std::string help = s.help;
        for (size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + indent.size()))
            help.replace(at, 1, indent);
        EXPECT_NE(usage.find(std::string("  ") + s.option), std::string::npos) << s.option;
        EXPECT_NE(usage.find(help), std::string::npos) << s.option;
    }
    EXPECT_NE(usage.find("  --no-interlace       filter whole frames, also of interlaced input\n"), std::string::npos);
    EXPECT_NE(usage.find("  --f1 N               first strength, 0 to 100 (default 70)\n"), std::string::npos);
}

TEST(Progress, Lines) {
    EXPECT_EQ(format_progress(50, 100, 2.0, 10), "[#####.....] 50/100 frames  25.0 fps  2 s left");
    EXPECT_EQ(format_progress(7, -1, 1.0, 10), "7 frames  7.0 fps");
    EXPECT_EQ(format_summary(48, 640, 360, 2.0, "CPU"), "orv: 48 frames, 640x360, 2.00 s, 24.0 fps, route CPU");
}

}  // namespace
}  // namespace orv::cli

// The cgroup quota lines orv's default thread count comes from.
TEST(CpuCount, QuotaLines) {
    const std::pair<const char*, int> rows[] = {{"max 100000", 0},    {"100000 100000", 1}, {"150000 100000", 2},
                                                {"50000 100000", 1},  {"-1 100000", 0},     {"", 0},
                                                {"400000 100000 x", 0}, {"100000 0", 0}};
    for (const auto& [line, cpus] : rows) EXPECT_EQ(orv::cli::cpus_of_quota(line), cpus) << line;
}

// Quotas on the way from the process's cgroup up to the root of the tree: the
// tightest wins, and never more than the affinity allows.
TEST(CpuCount, NestedQuotas) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        int affinity;
        const char* self;  // as /proc/self/cgroup lists it
        std::vector<std::pair<const char*, const char*>> files;  // path under the root, first line
        int cpus;
    } rows[] = {
        {"no quota", 8, "0::/a/b\n", {}, 8},
        {"quota in the leaf", 8, "0::/a/b\n", {{"a/b/cpu.max", "200000 100000"}}, 2},
        {"tighter parent", 8, "0::/a/b\n", {{"a/b/cpu.max", "400000 100000"}, {"a/cpu.max", "150000 100000"}}, 2},
        {"tighter leaf", 8, "0::/a/b\n", {{"a/b/cpu.max", "100000 100000"}, {"a/cpu.max", "300000 100000"}}, 1},
        {"max in the leaf", 8, "0::/a/b\n", {{"a/b/cpu.max", "max 100000"}, {"a/cpu.max", "300000 100000"}}, 3},
        {"the root's own", 8, "0::/a/b\n", {{"a/b/cpu.max", "max 100000"}, {"cpu.max", "200000 100000"}}, 2},
        {"a fraction rounds up", 8, "0::/a/b\n", {{"a/b/cpu.max", "250000 100000"}}, 3},
        {"a sliver is one", 8, "0::/a/b\n", {{"a/b/cpu.max", "1000 100000"}}, 1},
        {"affinity tighter", 2, "0::/a/b\n", {{"a/b/cpu.max", "400000 100000"}}, 2},
        {"among v1 lines", 8, "4:memory:/x\n1:cpu:/\n0::/a/b/c\n", {{"a/cpu.max", "300000 100000"}}, 3},
        {"v1 quota", 8, "1:cpu:/\n0::/\n", {{"cpu/cpu.cfs_quota_us", "300000"}, {"cpu/cpu.cfs_period_us", "100000"}}, 3},
        {"v1 without one", 8, "1:cpu:/\n0::/\n", {{"cpu/cpu.cfs_quota_us", "-1"}, {"cpu/cpu.cfs_period_us", "100000"}}, 8},
    };
    const fs::path tmp = fs::temp_directory_path() / ("orv_cgroup_" + std::to_string(::getpid()));
    for (const auto& r : rows) {
        fs::remove_all(tmp);
        fs::create_directories(tmp / "root/a/b/c");
        fs::create_directories(tmp / "root/cpu");
        std::ofstream(tmp / "self") << r.self;
        for (const auto& [path, line] : r.files) std::ofstream(tmp / "root" / path) << line << "\n";
        EXPECT_EQ(orv::cli::usable_cpu_count(r.affinity, tmp / "root", tmp / "self"), r.cpus) << r.name;
    }
    fs::remove_all(tmp);
}
