// The one entry the core looks for in a plugin library.
#include "VapourSynth4.h"
#include "orv_version.h"
#include "vapoursynth/denoise_args.h"
#include "vapoursynth/denoise_node.h"

// API 4.0 is asked for on purpose, so that older cores (R79, which the
// benchmark runs beside its peers) load the plugin too.
VS_EXTERNAL_API(void) VapourSynthPluginInit2(VSPlugin* plugin, const VSPLUGINAPI* vspapi) {
    vspapi->configPlugin("org.orv.denoise", "orv", "ORV video noise reduction", VS_MAKE_VERSION(ORV_VERSION_MAJOR, ORV_VERSION_MINOR),
                         VAPOURSYNTH_API_VERSION, 0, plugin);
    vspapi->registerFunction("Denoise", orv::vs::denoise_arg_list(), "clip:vnode;", orv::vs::denoise_create, nullptr,
                             plugin);
}
