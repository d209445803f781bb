// Defaults and the two textual forms of the settings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/filter_instance.h"

namespace orv {

// The rows of core/settings.def, in its order.
struct SettingRow {
    const char* field;
    int32_t FilterInstance::*member;
    int32_t defaultValue, lo, hi;
    int script;  // place among Config()'s arguments, 0: not scripted
    const char* option;
    const char* arg;
    const char* help;
    bool takes_value() const { return hi - lo > 1; }
};

inline constexpr SettingRow kSettings[] = {
#define ORV_SETTING(field, def, lo, hi, script, option, arg, help) \
    {#field, &FilterInstance::field, def, lo, hi, script, option, arg, help},
#include "core/settings.def"
#undef ORV_SETTING
};

// A setting's index in kSettings: kSetting.f1 and so on.
struct SettingIndex {
#define ORV_SETTING(field, ...) size_t field;
#include "core/settings.def"
#undef ORV_SETTING
};
inline constexpr SettingIndex kSetting = [] {
    SettingIndex s{};
    size_t i = 0;
#define ORV_SETTING(field, ...) s.field = i++;
#include "core/settings.def"
#undef ORV_SETTING
    return s;
}();

inline constexpr size_t kSettingCount = std::size(kSettings);
inline constexpr int kScriptArgCount = 5;
// Each scripted row has a place of its own among Config()'s arguments.
static_assert([] {
    int seen = 0;
    for (const SettingRow& s : kSettings) {
        if (s.script == 0) continue;
        if (s.script < 0 || s.script > kScriptArgCount || (seen & (1 << s.script)) != 0) return false;
        seen |= 1 << s.script;
    }
    return true;
}(), "a setting's script place is beyond Config()'s arguments or taken twice");

// Sets the defaults for a machine with `processorCount` processors.
void init_instance(FilterInstance& fi, int processorCount);
int processor_count();

// The script form, Config(f1,f2,sharp,interlace,multithreading), cut to
// buflen bytes.
bool write_script_string(const FilterInstance& fi, char* buf, int buflen);
// The summary beside the filter's name, into kSummaryBufferSize bytes.
void write_summary_string(const FilterInstance& fi, char* buf);

constexpr int kSummaryBufferSize = 256;

}  // namespace orv
