#include "test_support/test_host.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace orv::test {

namespace {

// removeFilter carries no module handle: the host taking a registration back
// says which one it is.
ModuleHost* deregistering = nullptr;
// The services with no module handle count their calls against the host
// that loaded a module last.
ModuleHost* latestHost = nullptr;

void* open_library(const std::string& path) {
#ifdef _WIN32
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
#else
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void* find_symbol(void* library, const char* name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

void close_library(void* library) {
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

std::string load_error() {
#ifdef _WIN32
    return "error " + std::to_string(GetLastError());
#else
    const char* e = dlerror();
    return e != nullptr ? e : "unknown error";
#endif
}

}  // namespace

// The host's services, as static functions with the host's signatures.
struct Services {
    static FilterDefinition* addFilter(FilterModule* module, FilterDefinition* fd, int fdLen) {
        auto* host = reinterpret_cast<ModuleHost*>(module);
        host->addFilterCalls.push_back({module, fd, fdLen});
        // The editor keeps a copy of the definition; a length it doesn't
        // recognise is copied only as far as the record it knows.
        const size_t n = std::min(static_cast<size_t>(fdLen > 0 ? fdLen : 0), sizeof(FilterDefinition));
        host->definitionCopy_.assign(sizeof(FilterDefinition), 0);
        if (fd != nullptr) std::memcpy(host->definitionCopy_.data(), fd, n);
        if (host->addFilterResult) return *host->addFilterResult;
        return reinterpret_cast<FilterDefinition*>(host->definitionCopy_.data());
    }
    static void removeFilter(FilterDefinition* fd) {
        if (deregistering != nullptr) deregistering->removeFilterCalls.push_back(fd);
    }
    static bool isFPUEnabled() { return note_other(), false; }
    static bool isMMXEnabled() { return note_other(), false; }
    static void InitVTables(void*) { note_other(); }
    static void ExceptOutOfMemory() { note_other(); }
    static void Except(const char*, ...) { note_other(); }
    static long getCPUFlags() { return note_other(), 0; }
    static long getHostVersionInfo(char* buffer, int len) {
        note_other();
        if (buffer != nullptr && len > 0) buffer[0] = '\0';
        return 0;
    }
    static void note_other() {
        if (latestHost != nullptr) ++latestHost->otherServiceCalls;
    }
};

std::string loadable_path(const std::string& path) {
#ifdef _WIN32
    // Wine shows the Unix file system as drive Z:.
    if (!path.empty() && path[0] == '/') {
        std::string p = "Z:" + path;
        std::replace(p.begin(), p.end(), '/', '\\');
        return p;
    }
#endif
    return path;
}

ModuleHost::ModuleHost(const std::string& path) {
    library_ = open_library(loadable_path(path));
    if (library_ == nullptr) throw std::runtime_error("can't load " + path + ": " + load_error());
    init_ = reinterpret_cast<VDXFilterModuleInitProc>(find_symbol(library_, "VirtualdubFilterModuleInit2"));
    deinit_ = reinterpret_cast<VDXFilterModuleDeinitProc>(find_symbol(library_, "VirtualdubFilterModuleDeinit"));
    if (init_ == nullptr || deinit_ == nullptr) {
        close_library(library_);
        throw std::runtime_error(path + " lacks a module entry");
    }
    services_ = FilterFunctions{&Services::addFilter,     &Services::removeFilter,      &Services::isFPUEnabled,
                                &Services::isMMXEnabled,  &Services::InitVTables,       &Services::ExceptOutOfMemory,
                                &Services::Except,        &Services::getCPUFlags,       &Services::getHostVersionInfo};
    latestHost = this;
}

ModuleHost::~ModuleHost() {
    if (registered_) deregister();
    if (latestHost == this) latestHost = nullptr;
    close_library(library_);
}

int ModuleHost::register_filter(int versionIn, int compatibleVersionIn) {
    version_ = versionIn;
    compatibleVersion_ = compatibleVersionIn;
    const int r = init_(module_handle(), &services_, version_, compatibleVersion_);
    registered_ = true;
    return r;
}

void ModuleHost::deregister() {
    deregistering = this;
    deinit_(module_handle(), &services_);
    deregistering = nullptr;
    registered_ = false;
}

const FilterDefinition& ModuleHost::definition() const {
    if (definitionCopy_.size() != sizeof(FilterDefinition)) throw std::logic_error("no filter registered");
    return *reinterpret_cast<const FilterDefinition*>(definitionCopy_.data());
}

// ---- frames

uint8_t TestFrame::canary(size_t pos) { return static_cast<uint8_t>((pos * 131u + 0x5B) ^ (pos >> 8)); }

TestFrame::TestFrame(int32_t w, int32_t h, ptrdiff_t pitch) {
    constexpr size_t kMargin = 64;
    const size_t ap = static_cast<size_t>(pitch < 0 ? -pitch : pitch);
    const size_t rowBytes = static_cast<size_t>(w > 0 ? w : 0) * 4;
    if (h > 0 && ap < rowBytes) throw std::invalid_argument("pitch shorter than a row");
    const size_t span = h > 0 ? (static_cast<size_t>(h) - 1) * ap + rowBytes : 0;
    mem_.resize(kMargin + span + kMargin);
    for (size_t i = 0; i < mem_.size(); ++i) mem_[i] = canary(i);
    lowestOffset_ = kMargin;
    uint8_t* lowest = mem_.data() + kMargin;
    bmp_.w = w;
    bmp_.h = h;
    bmp_.pitch = pitch;
    bmp_.depth = 32;
    bmp_.modulo = pitch - static_cast<ptrdiff_t>(rowBytes);
    bmp_.size = static_cast<ptrdiff_t>(span);
    uint8_t* row0 = pitch >= 0 || h <= 0 ? lowest : lowest + (static_cast<size_t>(h) - 1) * ap;
    bmp_.data = reinterpret_cast<uint32_t*>(row0);
}

uint32_t* TestFrame::row(int32_t k) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bmp_.data) + k * bmp_.pitch);
}

const uint32_t* TestFrame::row(int32_t k) const {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(bmp_.data) + k * bmp_.pitch);
}

void TestFrame::fill(const std::vector<uint32_t>& packed) {
    if (w() <= 0 || h() <= 0) return;
    if (packed.size() != static_cast<size_t>(w()) * h()) throw std::invalid_argument("picture size");
    for (int32_t k = 0; k < h(); ++k) std::memcpy(row(k), &packed[static_cast<size_t>(k) * w()], w() * 4u);
}

void TestFrame::fill_words(uint32_t word) {
    for (int32_t k = 0; k < h(); ++k) std::fill_n(row(k), w(), word);
}

std::vector<uint32_t> TestFrame::packed() const {
    std::vector<uint32_t> p(static_cast<size_t>(w() > 0 && h() > 0 ? w() : 0) * (h() > 0 ? h() : 0));
    for (int32_t k = 0; k < h() && !p.empty(); ++k)
        std::memcpy(&p[static_cast<size_t>(k) * w()], row(k), w() * 4u);
    return p;
}

bool TestFrame::canaries_intact() const {
    const size_t rowBytes = static_cast<size_t>(w() > 0 ? w() : 0) * 4;
    const size_t ap = static_cast<size_t>(pitch() < 0 ? -pitch() : pitch());
    for (size_t i = 0; i < mem_.size(); ++i) {
        bool inPicture = false;
        if (i >= lowestOffset_ && h() > 0 && rowBytes > 0) {
            const size_t off = i - lowestOffset_;
            inPicture = off / ap < static_cast<size_t>(h()) && off % ap < rowBytes;
        }
        if (!inPicture && mem_[i] != canary(i)) return false;
    }
    return true;
}

// ---- instances

HostInstance::HostInstance(ModuleHost& host, uint8_t garbage) : host_(host) {
    const FilterDefinition& def = host.definition();
    storage_.assign(static_cast<size_t>(def.inst_data_size), garbage);
    fa_.filter = &def;
    fa_.filter_data = storage_.data();
    fa_.src = &noFrame_;
    fa_.dst = &noFrame_;
}

int HostInstance::init() { return host_.definition().initProc(&fa_, &host_.services()); }

namespace {

// The script object's function named `name`, with `argList` when not null.
const ScriptFunctionDef* script_function(const FilterDefinition& def, const char* name, const char* argList) {
    const ScriptObject* so = def.script_obj;
    if (so == nullptr || so->func_list == nullptr) return nullptr;
    for (const ScriptFunctionDef* f = so->func_list; f->func_ptr != nullptr || f->name != nullptr; ++f) {
        if (f->name == nullptr || std::strcmp(f->name, name) != 0) continue;
        if (argList == nullptr || (f->arg_list != nullptr && std::strcmp(argList, f->arg_list) == 0)) return f;
    }
    return nullptr;
}

// Values as the interpreter lays them out: the integer in the union's low
// half, whatever was there before in the rest; or, as AviSynth+ passes them,
// a 64-bit value filling all 8 bytes.
void call_script_function(const ScriptFunctionDef& f, FilterActivation& fa, const std::vector<int>& args,
                          bool nullArgv, bool wide = false) {
    std::vector<ScriptValue> argv(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        std::memset(&argv[i], 0xEE, sizeof(ScriptValue));
        argv[i].type = kScriptValueInt;
        const int64_t value = args[i];
        if (wide)
            std::memcpy(&argv[i].u, &value, sizeof value);
        else
            std::memcpy(&argv[i].u, &args[i], sizeof(int));
    }
    auto fn = reinterpret_cast<ScriptFunctionPtr>(f.func_ptr);
    fn(nullptr, &fa, nullArgv || args.empty() ? nullptr : argv.data(), static_cast<int>(argv.size()));
}

}  // namespace

bool HostInstance::script_call(const char* name, const std::vector<int>& args, bool wide) {
    std::string argList(1, '0');
    argList.append(args.size(), 'i');
    const ScriptFunctionDef* f = script_function(host_.definition(), name, argList.c_str());
    if (f != nullptr) call_script_function(*f, fa_, args, false, wide);
    return f != nullptr;
}

bool HostInstance::raw_script_call(const char* name, const std::vector<int>& args, bool nullArgv) {
    const ScriptFunctionDef* f = script_function(host_.definition(), name, nullptr);
    if (f != nullptr) call_script_function(*f, fa_, args, nullArgv);
    return f != nullptr;
}

int HostInstance::start(TestFrame& src) {
    fa_.src = &src.bitmap();
    return host_.definition().startProc(&fa_, &host_.services());
}

int HostInstance::start(TestFrame& src, TestFrame& dst) {
    fa_.dst = &dst.bitmap();
    return start(src);
}

int HostInstance::run(TestFrame& src, TestFrame& dst) {
    fa_.src = &src.bitmap();
    fa_.dst = &dst.bitmap();
    return host_.definition().runProc(&fa_, &host_.services());
}

int HostInstance::end() { return host_.definition().endProc(&fa_, &host_.services()); }

void HostInstance::deinit() {
    if (host_.definition().deinitProc != nullptr) host_.definition().deinitProc(&fa_, &host_.services());
}

std::string HostInstance::script_string(int buflen, bool* result) {
    // A guard byte past the buffer catches a write beyond buflen.
    std::vector<char> buf(static_cast<size_t>(buflen) + 1, '\x7F');
    const bool r = host_.definition().fssProc(&fa_, &host_.services(), buf.data(), buflen);
    if (result != nullptr) *result = r;
    if (buf[static_cast<size_t>(buflen)] != '\x7F') throw std::runtime_error("fssProc wrote past its buffer");
    return std::string(buf.data(), strnlen(buf.data(), static_cast<size_t>(buflen)));
}

std::string HostInstance::summary() {
    std::vector<char> buf(257, '\x7F');
    host_.definition().stringProc(&fa_, &host_.services(), buf.data());
    if (buf[256] != '\x7F') throw std::runtime_error("stringProc wrote past 256 bytes");
    return std::string(buf.data(), strnlen(buf.data(), 256));
}

void HostInstance::copy_from(const HostInstance& other) { storage_ = other.storage_; }

void HostInstance::copy_from(HostInstance& other, CopyWay way) {
    const FilterDefinition& def = host_.definition();
    if (way == CopyWay::Proc2 && def.copyProc2 != nullptr)
        def.copyProc2(&other.fa_, &host_.services(), storage_.data(), &fa_, &host_.services());
    else if (way == CopyWay::Proc && def.copyProc != nullptr)
        def.copyProc(&other.fa_, &host_.services(), storage_.data());
    else
        copy_from(other);
}

FilterInstance& HostInstance::fields() { return *reinterpret_cast<FilterInstance*>(storage_.data()); }

}  // namespace orv::test
