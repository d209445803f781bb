#include "host/module_handle.h"

namespace orv {

namespace {
ModuleInstance moduleInstance = nullptr;
}

ModuleInstance module_instance() noexcept { return moduleInstance; }

void keep_module_instance(ModuleInstance instance) noexcept { moduleInstance = instance; }

}  // namespace orv
