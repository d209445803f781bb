#include "cli/config_line.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace orv::cli {

namespace {

struct Cursor {
    const std::string& s;
    size_t i = 0;
    void blanks() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    }
    bool eat(char c) {
        blanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
};

bool parse_int(Cursor& c, int32_t& out) {
    c.blanks();
    size_t start = c.i;
    if (c.i < c.s.size() && (c.s[c.i] == '-' || c.s[c.i] == '+')) ++c.i;
    const size_t digits = c.i;
    while (c.i < c.s.size() && std::isdigit(static_cast<unsigned char>(c.s[c.i]))) ++c.i;
    if (c.i == digits || c.i - digits > 12) return false;
    const long long v = std::strtoll(c.s.c_str() + start, nullptr, 10);
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

}  // namespace

std::optional<ScriptCall> parse_script_call(const std::string& text, std::string& error) {
    Cursor c{text};
    ScriptCall call;
    c.blanks();
    while (c.i < text.size() && (std::isalnum(static_cast<unsigned char>(text[c.i])) || text[c.i] == '_'))
        call.name += text[c.i++];
    if (call.name.empty() || std::isdigit(static_cast<unsigned char>(call.name[0]))) {
        error = "expected a function name such as Config";
        return std::nullopt;
    }
    if (!c.eat('(')) {
        error = "expected '(' after " + call.name;
        return std::nullopt;
    }
    if (!c.eat(')')) {
        do {
            int32_t v;
            if (!parse_int(c, v)) {
                error = "argument " + std::to_string(call.args.size() + 1) + " is not a 32-bit integer";
                return std::nullopt;
            }
            call.args.push_back(v);
        } while (c.eat(','));
        if (!c.eat(')')) {
            error = "expected ',' or ')' after argument " + std::to_string(call.args.size());
            return std::nullopt;
        }
    }
    c.eat(';');
    c.blanks();
    if (c.i != text.size()) {
        error = "unexpected text after ')'";
        return std::nullopt;
    }
    return call;
}

}  // namespace orv::cli
