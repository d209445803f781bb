// Defaults, the script command and the two textual forms of the settings.
#pragma once

#include "core/filter_instance.h"

struct FilterActivation;
struct FilterFunctions;
struct IScriptInterpreter;
struct ScriptValue;

namespace orv {

// Sets the defaults for a machine with `processorCount` processors.
void init_instance(FilterInstance& fi, int processorCount);
int processor_count();

// Host callbacks (the definition's initProc, fssProc and stringProc).
int initProc(FilterActivation* fa, const FilterFunctions* ff);
bool fssProc(FilterActivation* fa, const FilterFunctions* ff, char* buf, int buflen);
void stringProc(const FilterActivation* fa, const FilterFunctions* ff, char* buf);

// The script command, argument list "0iiiii".
void Config(IScriptInterpreter* isi, void* activation, const ScriptValue* argv, int argc);

// The texts themselves, for callers that hold a FilterInstance.
bool write_script_string(const FilterInstance& fi, char* buf, int buflen);
void write_summary_string(const FilterInstance& fi, char* buf);

constexpr int kSummaryBufferSize = 256;

}  // namespace orv
