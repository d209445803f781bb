// The module as the editor first meets it: its two entries, the filter
// definition it registers, and the script object.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "test_support/module_fixture.h"

namespace orv::test {
namespace {

#ifdef _WIN32
constexpr bool kHasDialog = true;
#else
constexpr bool kHasDialog = false;
#endif

TEST(Registration, WritesVersionsWhateverThePassedValues) {
    const struct {
        int version, compatible;
    } passed[] = {{0, 0}, {14, 8}, {-1, -1}, {INT_MAX, INT_MIN}, {6, 99}};
    for (const auto& p : passed) {
        ModuleHost host(module_path());
        EXPECT_EQ(host.register_filter(p.version, p.compatible), 0);
        EXPECT_EQ(host.version(), 14);
        EXPECT_EQ(host.compatibleVersion(), 8);
        ASSERT_EQ(host.addFilterCalls.size(), 1u);
        EXPECT_EQ(host.addFilterCalls[0].fdLen, 208);
        EXPECT_EQ(host.addFilterCalls[0].module, host.module_handle());
        EXPECT_NE(host.addFilterCalls[0].definition, nullptr);
    }
}

// The handle goes back untested and unchanged, whatever the host made of it;
// the module loads, registers and unloads again each time, asking nothing else.
TEST(Registration, RemoveFilterGetsExactlyWhatAddFilterReturned) {
    static FilterDefinition unrelated{};
    const std::optional<FilterDefinition*> answers[] = {
        std::nullopt,  // the host's own copy of the definition
        nullptr,
        &unrelated,
        reinterpret_cast<FilterDefinition*>(0x1234),
    };
    for (const auto& answer : answers) {
        ModuleHost host(module_path());
        host.addFilterResult = answer;
        EXPECT_EQ(host.register_filter(), 0);
        FilterDefinition* given = answer ? *answer : const_cast<FilterDefinition*>(&host.definition());
        host.deregister();
        ASSERT_EQ(host.removeFilterCalls.size(), 1u);
        EXPECT_EQ(host.removeFilterCalls[0], given);
        EXPECT_EQ(host.otherServiceCalls, 0);
        // The host's copy is not the module's record: handing back its own
        // definition would not pass.
        if (!answer) {
            EXPECT_NE(given, host.addFilterCalls[0].definition);
        }
    }
}

TEST(Definition, StringsByteForByte) {
    RegisteredModule m;
    const FilterDefinition& def = m.host.definition();
    const struct {
        const char* got;
        std::string want;
    } strings[] = {
        {def.name, "ORV 3.6.1 CUDA AutoProfile (x64)"},
        {def.desc, "ORV 3.6.1 CUDA x64 with GPU Auto Noise Profiling (Vell-style adaptive strength)"},
        {def.maker, "Vornsted"},
    };
    for (const auto& s : strings) {
        ASSERT_NE(s.got, nullptr);
        EXPECT_EQ(std::memcmp(s.got, s.want.c_str(), s.want.size() + 1), 0) << s.got;
    }
}

TEST(Definition, FieldsAsTheHostReadsThem) {
    RegisteredModule m;
    const FilterDefinition& def = m.host.definition();
    EXPECT_EQ(def.next, nullptr);
    EXPECT_EQ(def.prev, nullptr);
    EXPECT_EQ(def.module, nullptr);
    EXPECT_EQ(def.private_data, nullptr);
    EXPECT_EQ(def.inst_data_size, static_cast<int>(sizeof(FilterInstance)));
    const auto p = [](auto callback) { return reinterpret_cast<const void*>(callback); };
    const void* present[] = {p(def.initProc), p(def.runProc), p(def.stringProc), p(def.startProc),
                             p(def.endProc),  p(def.fssProc), p(def.copyProc),   p(def.copyProc2),
                             p(def.deinitProc)};
    for (size_t i = 0; i < std::size(present); ++i) EXPECT_NE(present[i], nullptr) << "callback " << i;
    // No paramProc: the output has the source's format and size.
    const void* absent[] = {p(def.paramProc),    p(def.stringProc2), p(def.serializeProc),
                            p(def.deserializeProc), p(def.prefetchProc), p(def.prefetchProc2), p(def.eventProc)};
    for (size_t i = 0; i < std::size(absent); ++i) EXPECT_EQ(absent[i], nullptr) << "callback " << i;
    EXPECT_EQ(def.configProc != nullptr, kHasDialog);  // no dialog on Linux

    const ScriptObject* so = def.script_obj;
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->lookup, nullptr);
    EXPECT_EQ(so->obj_list, nullptr);
    ASSERT_NE(so->func_list, nullptr);
    EXPECT_NE(so->func_list[0].func_ptr, nullptr);
    EXPECT_STREQ(so->func_list[0].name, "Config");
    EXPECT_STREQ(so->func_list[0].arg_list, "0iiiii");
    EXPECT_EQ(so->func_list[1].func_ptr, nullptr);
    EXPECT_EQ(so->func_list[1].name, nullptr);
    EXPECT_EQ(so->func_list[1].arg_list, nullptr);
}

// Storage as a host hands it over: never cleared. An end before any start
// must find nothing to free.
TEST(Instance, InitOnGarbageStorage) {
    RegisteredModule m;
    for (uint8_t garbage : {uint8_t{0xA5}, uint8_t{0xFF}, uint8_t{0x01}}) {
        HostInstance in(m.host, garbage);
        ASSERT_EQ(in.init(), 0);
        const std::string script = in.script_string();
        EXPECT_TRUE(script == "Config(70,70,2,0,1)" || script == "Config(70,70,2,0,0)") << script;
        EXPECT_EQ(in.summary(), " (F1-70,F2-70,S-2)");
        EXPECT_EQ(in.fields().disable, 0);
        EXPECT_EQ(in.fields().showNoise, 0);
        EXPECT_EQ(in.fields().autoProfile, 1);
        EXPECT_EQ(in.end(), 0);
    }
    EXPECT_EQ(m.host.otherServiceCalls, 0);
}

TEST(Instance, ConfigReplayedThroughTheScriptObject) {
    RegisteredModule m;
    HostInstance in(m.host);
    ASSERT_EQ(in.init(), 0);
    in.fields().disable = 1;
    in.fields().showNoise = 1;
    in.fields().autoProfile = 0;
    in.fields().savedF1 = 11;
    in.fields().noiseSigma = 3.5f;
    FilterInstance want = in.fields();
    ASSERT_TRUE(in.config(-5, 300, 9, 2, 7));
    EXPECT_EQ(in.script_string(), "Config(-5,300,9,2,7)");
    EXPECT_EQ(in.summary(), " (F1--5,F2-300,S-9)");
    // The five scripted settings and not one byte more.
    want.f1 = -5, want.f2 = 300, want.sharp = 9, want.interlace = 2, want.multithreading = 7;
    EXPECT_EQ(std::memcmp(&want, &in.fields(), sizeof want), 0);

    // A careless interpreter: too few values, no values, no activation, an
    // activation without an instance.
    ASSERT_TRUE(in.raw_script_call("Config", {9}));
    ASSERT_TRUE(in.raw_script_call("Config", {1, 2, 3, 4, 5}, true));
    const auto config = reinterpret_cast<ScriptFunctionPtr>(m.host.definition().script_obj->func_list[0].func_ptr);
    const ScriptValue five[5]{};
    FilterActivation bare{};
    config(nullptr, nullptr, five, 5);
    config(nullptr, &bare, five, 5);
    EXPECT_EQ(std::memcmp(&want, &in.fields(), sizeof want), 0);

    bool result = false;
    EXPECT_EQ(in.script_string(10, &result), "Config(-5");
    EXPECT_TRUE(result);
}

}  // namespace
}  // namespace orv::test
