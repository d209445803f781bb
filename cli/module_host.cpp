#include "cli/module_host.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "core/filter_instance.h"
#include "core/instance_layout.h"
#include "host/module_contract.h"

namespace orv::cli {

struct ModuleHost {
    void* lib = nullptr;
    VDXFilterModuleDeinitProc deinit = nullptr;
    const ModuleContract* contract = nullptr;
    FilterFunctions ff{};
    FilterDefinition* registered = nullptr;  // what addFilter handed back
    std::vector<uint8_t> instance;
    VFBitmap src{}, dst{};
    FilterActivation fa{};
    bool started = false;
    bool ownsModule = true;  // false for further instances of a loaded module
};

namespace {

// addFilter has no context argument, so the definition being registered is
// parked here for the one module this process loads at a time.
thread_local FilterDefinition* tRegistering = nullptr;

FilterDefinition* host_add_filter(FilterModule*, FilterDefinition* fd, int fdLen) {
    if (fdLen < kFilterDefinitionSize) return nullptr;
    tRegistering = fd;
    return fd;
}
void host_remove_filter(FilterDefinition*) {}
bool host_true() { return true; }
void host_init_vtables(void*) {}
void host_oom() {}
void host_except(const char*, ...) {}
long host_cpu_flags() { return 0; }
bool make_instance(ModuleHost& h);

// orv reads and sets the instance record directly, so the module must be the
// one it was built with: the same record, field for field, and the same
// interface versions.
bool layout_kept(const std::string& path, const ModuleContract* contract, std::string& error) {
    constexpr uint64_t ours = record_layout<FilterInstance>();
    if (contract != nullptr && contract->recordLayout == ours && contract->parallelSafe != nullptr &&
        contract->kernelSet != nullptr)
        return true;
    char layouts[80];
    std::snprintf(layouts, sizeof layouts, "%016llx, not %016llx",
                  static_cast<unsigned long long>(contract != nullptr ? contract->recordLayout : 0),
                  static_cast<unsigned long long>(ours));
    error = path + (contract == nullptr ? std::string(" declares no instance record layout")
                                        : " declares another instance record layout (" + std::string(layouts) + ")") +
            "; rebuild orv and the module together";
    return false;
}

bool registration_kept(const std::string& path, int version, int compatible, const FilterDefinition& fd,
                       std::string& error) {
    if (version != kFilterInterfaceVersion || compatible != kFilterInterfaceCompatibleVersion) {
        error = path + " answers interface version " + std::to_string(version) + " (compatible " +
                std::to_string(compatible) + "); this orv was built for " + std::to_string(kFilterInterfaceVersion) +
                " (" + std::to_string(kFilterInterfaceCompatibleVersion) + ")";
        return false;
    }
    if (fd.inst_data_size != static_cast<int>(sizeof(FilterInstance)) || fd.initProc == nullptr ||
        fd.runProc == nullptr) {
        error = path + " registered a filter other than the one it declares";
        return false;
    }
    return true;
}

long host_version(char* buf, int len) {
    if (buf != nullptr && len > 0) std::snprintf(buf, static_cast<size_t>(len), "orv");
    return 0;
}

}  // namespace

void ModuleHostDeleter::operator()(ModuleHost* h) const noexcept {
    if (h == nullptr) return;
    if (h->started) module_end(*h);
    if (h->ownsModule && h->deinit != nullptr) h->deinit(reinterpret_cast<FilterModule*>(h), &h->ff);
    if (h->ownsModule && h->lib != nullptr) dlclose(h->lib);
    delete h;
}

ModuleHostPtr module_open(const std::string& path, std::string& error) {
    ModuleHostPtr h(new ModuleHost);
    h->lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h->lib == nullptr) {
        error = "cannot load the filter module " + path + ": " + dlerror();
        return nullptr;
    }
    auto init = reinterpret_cast<VDXFilterModuleInitProc>(dlsym(h->lib, "VirtualdubFilterModuleInit2"));
    h->deinit = reinterpret_cast<VDXFilterModuleDeinitProc>(dlsym(h->lib, "VirtualdubFilterModuleDeinit"));
    if (init == nullptr || h->deinit == nullptr) {
        error = path + " is not a filter module (its entries are missing)";
        return nullptr;
    }
    auto contract = reinterpret_cast<ModuleContractProc>(dlsym(h->lib, kModuleContractEntry));
    h->contract = contract != nullptr ? contract() : nullptr;
    if (!layout_kept(path, h->contract, error)) return nullptr;
    h->ff = FilterFunctions{host_add_filter, host_remove_filter, host_true, host_true, host_init_vtables,
                            host_oom, host_except, host_cpu_flags, host_version};
    int version = 0, compatible = 0;
    tRegistering = nullptr;
    init(reinterpret_cast<FilterModule*>(h.get()), &h->ff, version, compatible);
    h->registered = tRegistering;
    if (h->registered == nullptr) {
        error = path + " registered no filter this host understands";
        return nullptr;
    }
    if (!registration_kept(path, version, compatible, *h->registered, error)) return nullptr;
    if (!make_instance(*h)) {
        error = "the filter failed to initialise";
        return nullptr;
    }
    return h;
}

ModuleHostPtr module_add_instance(const ModuleHost& loaded, std::string& error) {
    ModuleHostPtr h(new ModuleHost);
    h->lib = loaded.lib;
    h->deinit = loaded.deinit;
    h->contract = loaded.contract;
    h->ff = loaded.ff;
    h->registered = loaded.registered;
    h->ownsModule = false;
    if (!make_instance(*h)) {
        error = "the filter failed to initialise";
        return nullptr;
    }
    return h;
}

namespace {

bool make_instance(ModuleHost& host) {
    ModuleHost* h = &host;
    const FilterDefinition& fd = *h->registered;
    // Hosts don't clear instance storage; neither do we, so a module that
    // relies on zeroed memory shows it here too.
    h->instance.resize(static_cast<size_t>(fd.inst_data_size));
    std::mt19937 rng(0x0BADF00D);
    for (auto& b : h->instance) b = static_cast<uint8_t>(rng());
    h->fa.filter = h->registered;
    h->fa.filter_data = h->instance.data();
    h->fa.src = &h->src;
    h->fa.dst = &h->dst;
    return fd.initProc(&h->fa, &h->ff) == 0;
}

}  // namespace

bool module_replay(ModuleHost& h, const ScriptCall& call, std::string& error) {
    const std::string argList = "0" + std::string(call.args.size(), 'i');
    const ScriptObject* so = h.registered->script_obj;
    for (const ScriptFunctionDef* f = so != nullptr ? so->func_list : nullptr; f != nullptr && f->name != nullptr; ++f) {
        if (call.name != f->name || argList != f->arg_list) continue;
        std::vector<ScriptValue> argv(call.args.size());
        for (size_t i = 0; i < call.args.size(); ++i) {
            argv[i].type = kScriptValueInt;
            argv[i].u.i = call.args[i];
        }
        reinterpret_cast<ScriptFunctionPtr>(f->func_ptr)(nullptr, &h.fa, argv.data(), static_cast<int>(argv.size()));
        return true;
    }
    error = "the filter has no script function " + call.name + " taking " + std::to_string(call.args.size()) +
            " integer" + (call.args.size() == 1 ? "" : "s");
    return false;
}

void* module_instance(ModuleHost& h) { return h.instance.data(); }

bool module_parallel_safe(const ModuleHost& h) { return h.contract->parallelSafe(h.instance.data()) != 0; }

const char* module_kernel_set(const ModuleHost& h) { return h.contract->kernelSet(); }

int module_start(ModuleHost& h, int32_t w, int32_t height) {
    h.src = VFBitmap{};
    h.dst = VFBitmap{};
    h.src.w = h.dst.w = w;
    h.src.h = h.dst.h = height;
    h.src.depth = h.dst.depth = 32;
    h.src.pitch = h.dst.pitch = static_cast<ptrdiff_t>(w) * 4;
    if (h.registered->startProc == nullptr) return (h.started = true, 0);
    const int rc = h.registered->startProc(&h.fa, &h.ff);
    h.started = rc == 0;
    return rc;
}

int module_run(ModuleHost& h, uint32_t* src, ptrdiff_t srcPitch, uint32_t* dst, ptrdiff_t dstPitch) {
    h.src.data = src;
    h.src.pitch = srcPitch;
    h.dst.data = dst;
    h.dst.pitch = dstPitch;
    return h.registered->runProc(&h.fa, &h.ff);
}

int module_end(ModuleHost& h) {
    if (!h.started) return 0;
    h.started = false;
    return h.registered->endProc != nullptr ? h.registered->endProc(&h.fa, &h.ff) : 0;
}

std::string module_script_string(ModuleHost& h) {
    char buf[256] = {};
    if (h.registered->fssProc == nullptr || !h.registered->fssProc(&h.fa, &h.ff, buf, sizeof buf)) return {};
    return buf;
}

}  // namespace orv::cli
