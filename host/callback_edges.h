// The callbacks as the filter definition hands them to the host: each one a
// thin noexcept edge over the core's callback of the same name.
#pragma once

#include "host/vd_interface.h"

namespace orv::edge {

int initProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
int runProc(const FilterActivation* fa, const FilterFunctions* ff) noexcept;
void stringProc(const FilterActivation* fa, const FilterFunctions* ff, char* buf) noexcept;
int startProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
int endProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
bool fssProc(FilterActivation* fa, const FilterFunctions* ff, char* buf, int buflen) noexcept;
void Config(IScriptInterpreter* isi, void* activation, const ScriptValue* argv, int argc) noexcept;

}  // namespace orv::edge
