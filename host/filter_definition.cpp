#include "host/filter_definition.h"

#include "core/filter_instance.h"
#include "host/callbacks.h"
#include "host/config_dialog.h"
#include "orv_version.h"

namespace orv {

namespace {

// "0iiiii": no result, five integers (f1, f2, sharp, interlace, multithreading).
ScriptFunctionDef scriptFunctions[] = {
    {reinterpret_cast<void*>(&Config), "Config", "0iiiii"},
    {nullptr, nullptr, nullptr},
};

ScriptObject scriptObject{nullptr, scriptFunctions, nullptr};

}  // namespace

// deinitProc releases what an instance deleted without an end still holds;
// AviSynth+ never calls it (the module's deinit entry frees the idle GPU
// contexts instead). The copy callbacks keep a copy from sharing the original's resources; hosts
// from before copyProc2 call copyProc. No
// paramProc: the output frame has the source frame's format and size. A
// Linux host has no dialog manager, so there the filter has no dialog.
FilterDefinition filterDefinition{
    .next = nullptr,
    .prev = nullptr,
    .module = nullptr,
    .name = "ORV " ORV_VERSION " CUDA AutoProfile (x64)",
    .desc = "ORV " ORV_VERSION " CUDA x64 with GPU Auto Noise Profiling (Vell-style adaptive strength)",
    .maker = "Vornsted",
    .private_data = nullptr,
    .inst_data_size = static_cast<int>(sizeof(FilterInstance)),
    .initProc = &initProc,
    .deinitProc = &deinitProc,
    .runProc = &runProc,
    .paramProc = nullptr,
#ifdef _WIN32
    .configProc = &configProc,
#else
    .configProc = nullptr,
#endif
    .stringProc = &stringProc,
    .startProc = &startProc,
    .endProc = &endProc,
    .script_obj = &scriptObject,
    .fssProc = &fssProc,
    .stringProc2 = nullptr,
    .serializeProc = nullptr,
    .deserializeProc = nullptr,
    .copyProc = &copyProc,
    .prefetchProc = nullptr,
    .copyProc2 = &copyProc2,
    .prefetchProc2 = nullptr,
    .eventProc = nullptr,
};

}  // namespace orv
