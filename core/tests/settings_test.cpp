#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/settings.h"
#include "host/vd_interface.h"

namespace orv {
namespace {

struct Harness {
    FilterInstance fi;
    FilterActivation fa{};
    Harness(int processors) {
        std::memset(&fi, 0xA5, sizeof fi);  // hosts hand over uninitialised storage
        init_instance(fi, processors);
        fa.filter_data = &fi;
    }
    std::string script(int len = 128) {
        std::string buf(static_cast<size_t>(len), '\x7f');
        EXPECT_TRUE(fssProc(&fa, nullptr, buf.data(), len));
        return std::string(buf.c_str());
    }
    std::string summary() {
        char buf[kSummaryBufferSize];
        stringProc(&fa, nullptr, buf);
        return buf;
    }
    void config(int a, int b, int c, int d, int e) {
        ScriptValue argv[5]{};
        const int vals[5] = {a, b, c, d, e};
        for (int i = 0; i < 5; ++i) {
            argv[i].type = kScriptValueInt;
            argv[i].u.i = vals[i];
        }
        Config(nullptr, &fa, argv, 5);
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
        Harness h(r.processors);
        SCOPED_TRACE(r.processors);
        EXPECT_EQ(h.fi.threadCount, r.threadCount);
        EXPECT_EQ(h.fi.multithreading, r.multithreading);
        EXPECT_EQ(h.script(), r.script);
        EXPECT_EQ(h.summary(), " (F1-70,F2-70,S-2)");
        EXPECT_EQ(h.fi.disable, 0);
        EXPECT_EQ(h.fi.showNoise, 0);
        EXPECT_EQ(h.fi.autoProfile, 1);
        EXPECT_EQ(h.fi.savedAutoProfile, 1);
        EXPECT_EQ(h.fi.noiseSigma, 0.0f);
        EXPECT_EQ(h.fi.gpu, nullptr);
    }
}

TEST(Settings, InitCallbackUsesThisMachine) {
    FilterInstance fi;
    std::memset(&fi, 0xFF, sizeof fi);
    FilterActivation fa{};
    fa.filter_data = &fi;
    EXPECT_EQ(initProc(&fa, nullptr), 0);
    const int n = processor_count();
    EXPECT_EQ(fi.threadCount, n > 4 ? 4 : n);
}

TEST(Settings, ScriptFormsRoundTripAnyIntegers) {
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
        Harness h(8);
        h.config(r.a, r.b, r.c, r.d, r.e);
        EXPECT_EQ(h.script(), r.script);
        EXPECT_EQ(h.summary(), r.summary);
    }
}

TEST(Settings, ShortBufferIsCutAndStillTrue) {
    Harness h(8);
    EXPECT_EQ(h.script(10), "Config(70");
    EXPECT_EQ(h.script(1), "");
    char c = 'x';
    EXPECT_TRUE(fssProc(&h.fa, nullptr, &c, 0));
    EXPECT_EQ(c, 'x');
    EXPECT_TRUE(fssProc(&h.fa, nullptr, nullptr, 10));
}

TEST(Settings, ReplayTouchesOnlyTheFiveScriptedFields) {
    Harness h(8);
    h.fi.disable = 1;
    h.fi.showNoise = 1;
    h.fi.autoProfile = 0;
    h.fi.savedF1 = 11;
    h.fi.noiseSigma = 3.5f;
    FilterInstance before = h.fi;
    h.config(1, 2, 3, 4, 5);
    EXPECT_EQ(h.fi.f1, 1);
    EXPECT_EQ(h.fi.f2, 2);
    EXPECT_EQ(h.fi.sharp, 3);
    EXPECT_EQ(h.fi.interlace, 4);
    EXPECT_EQ(h.fi.multithreading, 5);
    before.f1 = 1, before.f2 = 2, before.sharp = 3, before.interlace = 4, before.multithreading = 5;
    EXPECT_EQ(std::memcmp(&before, &h.fi, sizeof before), 0);
}

TEST(Settings, MalformedScriptCallChangesNothing) {
    Harness h(8);
    ScriptValue one{};
    one.u.i = 9;
    Config(nullptr, &h.fa, &one, 1);
    Config(nullptr, &h.fa, nullptr, 5);
    Config(nullptr, nullptr, &one, 5);
    EXPECT_EQ(h.script(), "Config(70,70,2,0,1)");
}

}  // namespace
}  // namespace orv
