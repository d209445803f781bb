#include "host/callback_edges.h"

#include "core/pipeline.h"
#include "core/settings.h"
#include "host/guarded.h"

// Results on a caught exception, or on an activation without an instance:
// - a status callback reports failure (1). For runProc that is the same answer
//   as for scratch frames that can't be made: the core writes the destination
//   only once a route has its frame complete, so the host keeps its buffer as
//   it was and learns that this frame has no output, instead of losing the
//   editor.
// - the script string is empty and fssProc answers false, so that the host
//   saves no Config for the instance rather than a cut or stale one;
// - the summary is empty.

namespace orv::edge {

namespace {

bool has_instance(const FilterActivation* fa) { return fa != nullptr && fa->filter_data != nullptr; }

bool has_frames(const FilterActivation* fa) {
    return has_instance(fa) && fa->src != nullptr && fa->dst != nullptr;
}

}  // namespace

int initProc(FilterActivation* fa, const FilterFunctions* ff) noexcept {
    if (!has_instance(fa)) return 1;
    return guarded(1, [&] { return orv::initProc(fa, ff); });
}

int runProc(const FilterActivation* fa, const FilterFunctions* ff) noexcept {
    if (!has_frames(fa)) return 1;
    return guarded(1, [&] { return orv::runProc(fa, ff); });
}

void stringProc(const FilterActivation* fa, const FilterFunctions* ff, char* buf) noexcept {
    const bool ok = has_instance(fa) && guarded(false, [&] {
        orv::stringProc(fa, ff, buf);
        return true;
    });
    if (!ok && buf != nullptr) buf[0] = '\0';
}

int startProc(FilterActivation* fa, const FilterFunctions* ff) noexcept {
    if (!has_instance(fa) || fa->src == nullptr) return 1;
    return guarded(1, [&] { return orv::startProc(fa, ff); });
}

int endProc(FilterActivation* fa, const FilterFunctions* ff) noexcept {
    if (!has_instance(fa)) return 1;
    return guarded(1, [&] { return orv::endProc(fa, ff); });
}

bool fssProc(FilterActivation* fa, const FilterFunctions* ff, char* buf, int buflen) noexcept {
    const bool ok = has_instance(fa) && guarded(false, [&] { return orv::fssProc(fa, ff, buf, buflen); });
    if (!ok && buf != nullptr && buflen > 0) buf[0] = '\0';
    return ok;
}

void Config(IScriptInterpreter* isi, void* activation, const ScriptValue* argv, int argc) noexcept {
    guarded([&] { orv::Config(isi, activation, argv, argc); });
}

}  // namespace orv::edge
