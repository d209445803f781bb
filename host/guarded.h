// The host can't take a C++ exception: one that left a callback would bring
// the editor down with the user's unsaved work. Every call the host makes into
// the module runs inside one of these, which turns any exception into the
// callback's failure result.
#pragma once

#include <utility>

namespace orv {

template <class R, class F>
R guarded(R onThrow, F&& f) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (...) {
        return onThrow;
    }
}

template <class F>
void guarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (...) {
    }
}

}  // namespace orv
