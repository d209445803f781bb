// A stand-in for the editor: loads a filter module file by path and drives it
// through its exported entries and the filter definition, the way a host does.
// Test code, shared by every suite that needs the module as a user's host sees
// it (module tests, command-line tests, GPU-route tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/filter_instance.h"
#include "host/vd_interface.h"

namespace orv::test {

struct AddFilterCall {
    FilterModule* module;
    FilterDefinition* definition;
    int fdLen;
};

// One loaded module file. Unloads it on destruction, after taking back a
// registration that is still in place.
class ModuleHost {
public:
    // Throws std::runtime_error when the file can't be loaded or lacks an entry.
    explicit ModuleHost(const std::string& path);
    ~ModuleHost();
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // Calls the init entry with `version` and `compatibleVersion` preset to
    // the given values; returns its result. The values written back are in
    // version() and compatibleVersion().
    int register_filter(int versionIn = 0, int compatibleVersionIn = 0);
    // Calls the deinit entry.
    void deregister();

    // The definition as the host keeps it: a copy of the fd_len bytes that
    // addFilter received, as the editor makes one.
    const FilterDefinition& definition() const;
    int version() const { return version_; }
    int compatibleVersion() const { return compatibleVersion_; }

    // When set, addFilter returns this instead of the host's copy.
    std::optional<FilterDefinition*> addFilterResult;
    // What the module handed to the host's services, in call order.
    std::vector<AddFilterCall> addFilterCalls;
    std::vector<FilterDefinition*> removeFilterCalls;
    // Calls of the services a filter has no reason to use (Except and friends).
    int otherServiceCalls = 0;

    FilterModule* module_handle() { return reinterpret_cast<FilterModule*>(this); }
    const FilterFunctions& services() const { return services_; }

private:
    void* library_ = nullptr;
    VDXFilterModuleInitProc init_ = nullptr;
    VDXFilterModuleDeinitProc deinit_ = nullptr;
    FilterFunctions services_{};
    std::vector<unsigned char> definitionCopy_;
    bool registered_ = false;
    int version_ = 0;
    int compatibleVersion_ = 0;

    friend struct Services;
};

// A frame pitch: rows of w pixels and `extra` bytes after them, bottom-up
// (negative) when asked.
inline ptrdiff_t pitch_of(int32_t w, ptrdiff_t extra, bool negative) {
    const ptrdiff_t p = static_cast<ptrdiff_t>(w) * 4 + extra;
    return negative ? -p : p;
}

// A host frame: w*h XRGB pixels laid out with any pitch, negative included,
// inside a buffer whose every other byte holds a canary pattern that depends
// on the byte's position (so that a misplaced row is caught, not only a
// stray one).
class TestFrame {
public:
    TestFrame(int32_t w, int32_t h, ptrdiff_t pitch);
    TestFrame(const TestFrame&) = delete;
    TestFrame& operator=(const TestFrame&) = delete;

    VFBitmap& bitmap() { return bmp_; }
    int32_t w() const { return bmp_.w; }
    int32_t h() const { return bmp_.h; }
    ptrdiff_t pitch() const { return bmp_.pitch; }

    // Row k as the host numbers it: data + k*pitch.
    uint32_t* row(int32_t k);
    const uint32_t* row(int32_t k) const;
    // Row k of the frame := row k of a packed w*h picture.
    void fill(const std::vector<uint32_t>& packed);
    void fill_words(uint32_t word);
    // The picture, row k of the frame to row k of the result.
    std::vector<uint32_t> packed() const;
    // Every byte outside the h rows of w*4 bytes is as it was laid out.
    bool canaries_intact() const;
    // The whole buffer, for comparing before and after.
    const std::vector<uint8_t>& memory() const { return mem_; }

private:
    static uint8_t canary(size_t pos);
    std::vector<uint8_t> mem_;
    size_t lowestOffset_ = 0;
    VFBitmap bmp_{};
};

// One filter instance as the host makes it: storage of inst_data_size bytes
// filled with garbage, an activation pointing at it, and the callbacks of the
// definition called through their pointers.
class HostInstance {
public:
    explicit HostInstance(ModuleHost& host, uint8_t garbage = 0xA5);
    HostInstance(const HostInstance&) = delete;
    HostInstance& operator=(const HostInstance&) = delete;

    int init();
    // Replays a script command: looks the function up in the script object by
    // name and by the argument list that the values make ("0" and one "i"
    // each), and calls it with a ScriptValue per value; `wide` fills each
    // value's 8 bytes, as AviSynth+ does. False when the module has no such
    // function.
    bool script_call(const char* name, const std::vector<int>& args, bool wide = false);
    // The same as a careless interpreter might call it: the function found by
    // name alone, given these values whatever its argument list says, or no
    // argv at all.
    bool raw_script_call(const char* name, const std::vector<int>& args, bool nullArgv = false);
    bool config(int f1, int f2, int sharp, int interlace, int multithreading) {
        return script_call("Config", {f1, f2, sharp, interlace, multithreading});
    }
    // startProc with `src` as the frame the host is about to hand over.
    int start(TestFrame& src);
    int start(TestFrame& src, TestFrame& dst);
    int run(TestFrame& src, TestFrame& dst);
    int end();
    // deinitProc, where the definition has one: VirtualDub deleting the
    // instance (AviSynth+ never calls it).
    void deinit();
    // fssProc into a buffer of `buflen` bytes (at least 1).
    std::string script_string(int buflen = 256, bool* result = nullptr);
    // stringProc into a 256-byte buffer.
    std::string summary();

    // The host making this instance as a copy of another one: by its bytes
    // (hosts that know neither copy callback), by copyProc (hosts from before
    // copyProc2) or by copyProc2 (VirtualDub 1.10.4 and VirtualDub2). A copy
    // callback the definition lacks falls back to the bytes, as the host does.
    enum class CopyWay { Bytes, Proc, Proc2 };
    void copy_from(const HostInstance& other);
    void copy_from(HostInstance& other, CopyWay way);

    // The module's record, for the settings that no script carries (disable,
    // showNoise, autoProfile).
    FilterInstance& fields();
    FilterActivation& activation() { return fa_; }

private:
    ModuleHost& host_;
    std::vector<unsigned char> storage_;  // exactly inst_data_size bytes
    FilterActivation fa_{};
    VFBitmap noFrame_{};
};

// The module file's path as the build gives it, made loadable on this system
// (a Unix path becomes a Z: path under Wine).
std::string loadable_path(const std::string& path);

}  // namespace orv::test
