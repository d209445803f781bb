// The host's own script line, e.g. "Config(70,70,2,0,1)": a function name and
// its integer arguments, dispatched through the module's script table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::cli {

struct ScriptCall {
    std::string name;
    std::vector<int32_t> args;
};

// Parses NAME(INT,INT,...) with optional blanks around tokens and an optional
// trailing ';'. Integers are signed decimal that fit 32 bits. On failure,
// returns nothing and sets `error` to a short reason.
std::optional<ScriptCall> parse_script_call(const std::string& text, std::string& error);

}  // namespace orv::cli
