// Fuzz target: the `orv` command line, from its arguments to the script line
// replayed into the module. The first input byte picks the property:
//   0  any text as a --config line: parsed, or refused with a reason; a parsed
//      call printed back as Name(a,b,...) parses to the same call, and
//      replayed into the module it sets exactly Config's five settings;
//   1  any argument list (NUL-separated): parsed into options that keep their
//      documented ranges and that, written back as arguments, parse the same;
//   2  a well-formed line built from the input, with any blanks, signs and
//      ending the grammar allows: always parsed to exactly its values.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <exception>
#include <iterator>
#include <string>
#include <vector>

#include "cli/config_line.h"
#include "cli/module_host.h"
#include "cli/options.h"
#include "test_support/fail.h"

namespace orv::fuzz {
namespace {

cli::ModuleHost* module = nullptr;

std::string print(const cli::ScriptCall& call) {
    std::string s = call.name + "(";
    for (size_t i = 0; i < call.args.size(); ++i) s += (i ? "," : "") + std::to_string(call.args[i]);
    return s + ")";
}

bool same(const cli::ScriptCall& a, const cli::ScriptCall& b) { return a.name == b.name && a.args == b.args; }

bool is_identifier(const std::string& s) {
    if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
    for (char ch : s)
        if (!((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_'))
            return false;
    return true;
}

void check_script_line(const std::string& text) {
    std::string error;
    const auto call = cli::parse_script_call(text, error);
    if (!call) {
        if (error.empty()) fail("script line refused without a reason");
        return;
    }
    if (!is_identifier(call->name)) fail("parsed a function name that is no identifier: " + call->name);
    const std::string printed = print(*call);
    const auto again = cli::parse_script_call(printed, error);
    if (!again || !same(*again, *call)) fail("\"" + printed + "\" does not parse back to itself");

    const bool isConfig = call->name == "Config" && call->args.size() == 5;
    if (cli::module_replay(*module, *call, error) != isConfig)
        fail("replaying " + printed + (isConfig ? " failed: " + error : " reached the module"));
    if (isConfig && cli::module_script_string(*module) != printed)
        fail("after " + printed + " the module's script string is " + cli::module_script_string(*module));
}

std::vector<std::string> as_arguments(const cli::Options& o) {
    std::vector<std::string> a;
    auto add = [&](const char* flag, const std::string& v) {
        a.push_back(flag);
        a.push_back(v);
    };
    if (!o.configLine.empty()) add("--config", o.configLine);
    // Each setting the command line gave, by its row: a value, or the switch
    // that sets it.
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (!o.settings[i] || kSettings[i].option == nullptr) continue;
        if (kSettings[i].takes_value()) add(kSettings[i].option, std::to_string(*o.settings[i]));
        else a.push_back(kSettings[i].option);
    }
    if (o.noInterlace) a.push_back("--no-interlace");
    if (o.width != 0) add("--size", std::to_string(o.width) + "x" + std::to_string(o.height));
    add("--rate", o.rate);
    if (!o.codec.empty()) add("--codec", o.codec);
    if (!o.modulePath.empty()) add("--module", o.modulePath);
    if (o.force) a.push_back("--force");
    if (o.quiet) a.push_back("--quiet");
    // Operands after "--": a name may start with '-' once "--" came before it.
    a.insert(a.end(), {"--", o.command, o.input, o.output});
    return a;
}

bool same(const cli::Options& x, const cli::Options& y) {
    return x.command == y.command && x.input == y.input && x.output == y.output && x.configLine == y.configLine &&
           std::equal(std::begin(x.settings), std::end(x.settings), std::begin(y.settings)) &&
           x.noInterlace == y.noInterlace &&
           x.width == y.width && x.height == y.height && x.rate == y.rate && x.codec == y.codec &&
           x.modulePath == y.modulePath && x.force == y.force && x.quiet == y.quiet;
}

void check_options(const std::string& text) {
    std::vector<std::string> args;
    size_t from = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == '\0') {
            if (i > from || i < text.size()) args.push_back(text.substr(from, i - from));
            from = i + 1;
        }
    std::string error;
    const auto o = cli::parse_options(args, error);
    if (!o) {
        if (error.empty()) fail("arguments refused without a reason");
        return;
    }
    if (o->command == "help" || o->command == "version") return;
    auto in = [](const std::optional<int32_t>& v, int32_t lo, int32_t hi) { return !v || (*v >= lo && *v <= hi); };
    const bool sizeOk = (o->width == 0 && o->height == 0) ||
                        (o->width >= 1 && o->width <= 32768 && o->height >= 1 && o->height <= 32768);
    if (o->command != "denoise" || !in(o->settings[kSetting.f1], 0, 100) ||
        !in(o->settings[kSetting.f2], 0, 100) || !in(o->settings[kSetting.sharp], 0, 6) || !sizeOk ||
        (o->input == "-" && o->width == 0))
        fail("options accepted out of their ranges");
    const auto again = cli::parse_options(as_arguments(*o), error);
    if (!again || !same(*again, *o)) fail("options written back as arguments parse differently: " + error);
}

void check_generated(FuzzedDataProvider& in) {
    static const char* const kNames[] = {"Config", "Other", "_", "config", "x9"};
    static const char kBlanks[] = " \t\n\r\v\f";
    cli::ScriptCall call;
    call.name = kNames[in.ConsumeIntegralInRange<size_t>(0, 4)];
    call.args.resize(in.ConsumeIntegralInRange<size_t>(0, 8));
    for (auto& a : call.args) a = in.ConsumeIntegral<int32_t>();
    auto blanks = [&] {
        std::string b;
        for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 3); n > 0; --n)
            b += kBlanks[in.ConsumeIntegralInRange<size_t>(0, sizeof kBlanks - 2)];
        return b;
    };
    std::string text = blanks() + call.name + blanks() + "(";
    for (size_t i = 0; i < call.args.size(); ++i) {
        if (i > 0) text += blanks() + ",";
        text += blanks();
        if (call.args[i] >= 0 && in.ConsumeBool()) text += "+";
        text += std::to_string(call.args[i]);
    }
    text += blanks() + ")";
    if (in.ConsumeBool()) text += blanks() + ";";
    text += blanks();
    std::string error;
    const auto got = cli::parse_script_call(text, error);
    if (!got || !same(*got, call)) fail("well-formed line \"" + text + "\" refused or misread: " + error);
}

}  // namespace
}  // namespace orv::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string error;
    orv::fuzz::module = orv::cli::module_open(ORV_MODULE_PATH, error).release();
    if (orv::fuzz::module == nullptr) orv::fuzz::fail(error);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        switch (data[0] % 3) {
            case 0: orv::fuzz::check_script_line(text); break;
            case 1: orv::fuzz::check_options(text); break;
            default: {
                FuzzedDataProvider in(data + 1, size - 1);
                orv::fuzz::check_generated(in);
            }
        }
    } catch (const std::exception& e) {
        orv::fuzz::fail(e.what());
    }
    return 0;
}
