// The filter's callbacks as the definition hands them to the host. None of
// them lets an exception reach the host.
#pragma once

#include <cstdint>

#include "host/vd_interface.h"

namespace orv {

int initProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
int runProc(const FilterActivation* fa, const FilterFunctions* ff) noexcept;
void stringProc(const FilterActivation* fa, const FilterFunctions* ff, char* buf) noexcept;
int startProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
int endProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
void deinitProc(FilterActivation* fa, const FilterFunctions* ff) noexcept;
// The copy the host makes of an instance, running or not: the settings and
// the noise estimate, none of the original's resources.
void copyProc(FilterActivation* fa, const FilterFunctions* ff, void* dst) noexcept;
void copyProc2(FilterActivation* fa, const FilterFunctions* ff, void* dst, FilterActivation* faDst,
               const FilterFunctions* ffDst) noexcept;
bool fssProc(FilterActivation* fa, const FilterFunctions* ff, char* buf, int buflen) noexcept;
// For hosts of our own (host/module_contract.h): non-zero when instances on
// this one's current route may run frames side by side. The CPU route keeps
// nothing from frame to frame; the GPU route carries its noise estimate.
int32_t parallel_safe(const void* instance) noexcept;
// The script command, argument list "0iiiii".
void Config(IScriptInterpreter* isi, void* activation, const ScriptValue* argv, int argc) noexcept;

}  // namespace orv
