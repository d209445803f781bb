// Drives a filter module file through its two entries the way VirtualDub
// does: register, allocate the instance, init, replay the script line, start,
// run every frame, end, deinit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/config_line.h"
#include "host/vd_interface.h"

namespace orv::cli {

struct ModuleHost;

struct ModuleHostDeleter {
    void operator()(ModuleHost* h) const noexcept;
};
using ModuleHostPtr = std::unique_ptr<ModuleHost, ModuleHostDeleter>;

// Loads and registers the module and makes one initialised instance. On
// failure returns null and sets `error`.
ModuleHostPtr module_open(const std::string& path, std::string& error);

// Another initialised instance of the module `loaded` holds, for a host that
// runs several at once. It must be released before `loaded`.
ModuleHostPtr module_add_instance(const ModuleHost& loaded, std::string& error);

// Calls the script function whose name and argument list ("0" then one "i"
// per integer) match. False with `error` when the module has no such function.
bool module_replay(ModuleHost& h, const ScriptCall& call, std::string& error);

// The instance record, for a host of our own module that sets the switches
// which VirtualDub only sets through the dialog.
void* module_instance(ModuleHost& h);
// What the module declares (host/module_contract.h): whether instances on
// this one's current route may run side by side, and the kernel set of its
// CPU route.
bool module_parallel_safe(const ModuleHost& h);
const char* module_kernel_set(const ModuleHost& h);

int module_start(ModuleHost& h, int32_t w, int32_t h_);
// Runs one frame: source and destination rows of w*4 bytes with the given pitches.
int module_run(ModuleHost& h, uint32_t* src, ptrdiff_t srcPitch, uint32_t* dst, ptrdiff_t dstPitch);
int module_end(ModuleHost& h);
// The instance's settings as the host saves them: "Config(70,70,2,0,1)".
std::string module_script_string(ModuleHost& h);

}  // namespace orv::cli
