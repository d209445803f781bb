#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "core/settings.h"

namespace orv {
namespace {

struct Instance {
    FilterInstance fi;
    explicit Instance(int processors) {
        std::memset(&fi, 0xA5, sizeof fi);  // hosts hand over uninitialised storage
        init_instance(fi, processors);
    }
    std::string script(int len = 128) {
        std::string buf(static_cast<size_t>(len), '\x7f');
        EXPECT_TRUE(write_script_string(fi, buf.data(), len));
        return std::string(buf.c_str());
    }
    std::string summary() {
        char buf[kSummaryBufferSize];
        write_summary_string(fi, buf);
        return buf;
    }
};

TEST(Settings, DefaultsFollowProcessorCount) {
    struct Row {
        int processors, threadCount, multithreading;
        const char* script;
    };
    const Row rows[] = {
        {8, 4, 1, "Config(70,70,2,0,1)"}, {1, 1, 0, "Config(70,70,2,0,0)"},
        {2, 2, 1, "Config(70,70,2,0,1)"}, {4, 4, 1, "Config(70,70,2,0,1)"},
        {12, 4, 1, "Config(70,70,2,0,1)"},
    };
    for (const Row& r : rows) {
        Instance in(r.processors);
        SCOPED_TRACE(r.processors);
        EXPECT_EQ(in.fi.threadCount, r.threadCount);
        EXPECT_EQ(in.fi.multithreading, r.multithreading);
        EXPECT_EQ(in.script(), r.script);
        EXPECT_EQ(in.summary(), " (F1-70,F2-70,S-2)");
        // The unscripted defaults as a user meets them: filtering on, no
        // noise picture, profiling on; and nothing an end would free.
        EXPECT_EQ(std::tuple(in.fi.disable, in.fi.showNoise, in.fi.autoProfile, in.fi.savedAutoProfile),
                  std::tuple(0, 0, 1, 1));
        EXPECT_TRUE(in.fi.noiseSigma == 0.0f && in.fi.gpu == nullptr && in.fi.lumaPlane == nullptr);
        for (const SettingRow& row : kSettings)
            EXPECT_TRUE(row.member == &FilterInstance::multithreading || in.fi.*row.member == row.defaultValue)
                << row.field;
    }
    const int n = processor_count();
    EXPECT_TRUE(n >= 1 && n <= 1024) << n;
}

TEST(Settings, ScriptFormsOfAnyIntegers) {
    struct Row {
        int a, b, c, d, e;
        const char* script;
        const char* summary;
    };
    const Row rows[] = {
        {-5, 300, 9, 2, 7, "Config(-5,300,9,2,7)", " (F1--5,F2-300,S-9)"},
        {-2147483647 - 1, 2147483647, 2147483647, -1, 0, "Config(-2147483648,2147483647,2147483647,-1,0)",
         " (F1--2147483648,F2-2147483647,S-2147483647)"},
        {0, 100, 6, 1, 1, "Config(0,100,6,1,1)", " (F1-0,F2-100,S-6)"},
    };
    for (const Row& r : rows) {
        Instance in(8);
        in.fi.f1 = r.a, in.fi.f2 = r.b, in.fi.sharp = r.c, in.fi.interlace = r.d, in.fi.multithreading = r.e;
        EXPECT_EQ(in.script(), r.script);
        EXPECT_EQ(in.summary(), r.summary);
    }
}

TEST(Settings, ShortBufferIsCutAndStillTrue) {
    Instance in(8);
    EXPECT_EQ(in.script(10), "Config(70");
    EXPECT_EQ(in.script(1), "");
    char c = 'x';
    EXPECT_TRUE(write_script_string(in.fi, &c, 0));
    EXPECT_EQ(c, 'x');
    EXPECT_TRUE(write_script_string(in.fi, nullptr, 10));
}

}  // namespace
}  // namespace orv
