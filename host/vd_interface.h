// VirtualDub filter-module interface, version 14, x64 layout.
//
// Written from the host's published binary interface. Every offset the module
// relies on is pinned below: a layout slip must fail the build, not corrupt a
// user's frames inside their editor.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
using HWND = void*;
#endif

struct FilterModule;  // opaque to the module
struct FilterDefinition;
struct FilterActivation;
struct FilterFunctions;
struct VFBitmap;
struct ScriptObject;
struct IScriptInterpreter;

// Host services, in the host's order.
struct FilterFunctions {
    FilterDefinition* (*addFilter)(FilterModule*, FilterDefinition*, int fd_len);
    void (*removeFilter)(FilterDefinition*);
    bool (*isFPUEnabled)();
    bool (*isMMXEnabled)();
    void (*InitVTables)(void*);
    void (*ExceptOutOfMemory)();
    void (*Except)(const char* format, ...);
    long (*getCPUFlags)();
    long (*getHostVersionInfo)(char* buffer, int len);
};

using FilterInitProc = int (*)(FilterActivation*, const FilterFunctions*);
using FilterDeinitProc = void (*)(FilterActivation*, const FilterFunctions*);
using FilterRunProc = int (*)(const FilterActivation*, const FilterFunctions*);
using FilterParamProc = long (*)(FilterActivation*, const FilterFunctions*);
using FilterConfigProc = int (*)(FilterActivation*, const FilterFunctions*, HWND);
using FilterStringProc = void (*)(const FilterActivation*, const FilterFunctions*, char*);
using FilterStartProc = int (*)(FilterActivation*, const FilterFunctions*);
using FilterEndProc = int (*)(FilterActivation*, const FilterFunctions*);
using FilterScriptStrProc = bool (*)(FilterActivation*, const FilterFunctions*, char*, int);
using FilterStringProc2 = void (*)(const FilterActivation*, const FilterFunctions*, char*, int);
using FilterSerialize = int (*)(FilterActivation*, const FilterFunctions*, char*, int);
using FilterDeserialize = void (*)(FilterActivation*, const FilterFunctions*, const char*, int);
using FilterCopy = void (*)(FilterActivation*, const FilterFunctions*, void*);
using FilterPrefetch = int64_t (*)(const FilterActivation*, const FilterFunctions*, int64_t);
using FilterCopy2 = void (*)(FilterActivation*, const FilterFunctions*, void*, FilterActivation*,
                             const FilterFunctions*);
using FilterPrefetch2 = bool (*)(const FilterActivation*, const FilterFunctions*, int64_t, void*);
using FilterEvent = bool (*)(const FilterActivation*, const FilterFunctions*, uint32_t, const void*);

struct FilterDefinition {
    void* next;
    void* prev;
    void* module;
    const char* name;
    const char* desc;
    const char* maker;
    void* private_data;
    int inst_data_size;
    FilterInitProc initProc;
    FilterDeinitProc deinitProc;
    FilterRunProc runProc;
    FilterParamProc paramProc;
    FilterConfigProc configProc;
    FilterStringProc stringProc;
    FilterStartProc startProc;
    FilterEndProc endProc;
    ScriptObject* script_obj;
    FilterScriptStrProc fssProc;
    FilterStringProc2 stringProc2;
    FilterSerialize serializeProc;
    FilterDeserialize deserializeProc;
    FilterCopy copyProc;
    FilterPrefetch prefetchProc;
    FilterCopy2 copyProc2;
    FilterPrefetch2 prefetchProc2;
    FilterEvent eventProc;
};

// The host's bitmap. Its first word is the vtable pointer of a class with a
// virtual destructor; the module never touches it, so it is plain storage here.
struct VFBitmap {
    void* vtable;
    uint32_t* data;
    uint32_t* palette;
    int32_t depth;
    int32_t w;
    int32_t h;
    ptrdiff_t pitch;
    ptrdiff_t modulo;
    ptrdiff_t size;
    ptrdiff_t offset;
    uint32_t dwFlags;
    void* hdc;
    uint32_t frameRateNum, frameRateDen;
    int64_t frameCount;
    void* pixmapLayout;
    const void* pixmap;
    uint32_t aspectNum, aspectDen;
    int64_t frameNumber;
    int64_t timestampStart, timestampEnd;
    int64_t cookie;
    uint32_t accelHandle, borderWidth, borderHeight;
};

struct IFilterPreview;
struct IFilterPreview2;

struct FilterActivation {
    const FilterDefinition* filter;
    void* filter_data;
    VFBitmap* dst;  // a C++ reference in the host's headers
    VFBitmap* src;
    VFBitmap* reserved;
    VFBitmap* last;
    uint32_t x1, y1, x2, y2;
    void* pfsi;
    IFilterPreview* ifp;
    IFilterPreview2* ifp2;
    uint32_t sourceFrameCount;
    VFBitmap* const* sourceFrames;
    VFBitmap* const* outputFrames;
};

// Pure virtual, no virtual destructor: slots are in declaration order on every
// compiler that follows the x64 ABI, MSVC and mingw-w64 alike.
struct IFilterPreview {
    virtual void SetButtonCallback(void (*)(bool, void*), void*) = 0;
    virtual void SetSampleCallback(void (*)(VFBitmap*, long, long, void*), void*) = 0;
    virtual bool isPreviewEnabled() = 0;
    virtual void Toggle(HWND) = 0;
    virtual void Display(HWND, bool) = 0;
    virtual void RedoFrame() = 0;
    virtual void RedoSystem() = 0;
    virtual void UndoSystem() = 0;
    virtual void InitButton(HWND) = 0;
    virtual void Close() = 0;
    virtual bool SampleCurrentFrame() = 0;
    virtual long SampleFrames() = 0;
};

struct ScriptValue {
    int32_t type;  // 1 = integer
    void* thisPtr;
    union {
        int i;
        int64_t l;
        double d;
        void* p;
    } u;
};
constexpr int32_t kScriptValueInt = 1;

using ScriptFunctionPtr = void (*)(IScriptInterpreter*, void* activation, const ScriptValue* argv, int argc);

struct ScriptFunctionDef {
    void* func_ptr;
    const char* name;
    const char* arg_list;
};

struct ScriptObject {
    void* lookup;
    ScriptFunctionDef* func_list;
    void* obj_list;
};

using VDXFilterModuleInitProc = int (*)(FilterModule*, const FilterFunctions*, int&, int&);
using VDXFilterModuleDeinitProc = void (*)(FilterModule*, const FilterFunctions*);

constexpr int kFilterDefinitionSize = 208;
constexpr int kFilterInterfaceVersion = 14;
constexpr int kFilterInterfaceCompatibleVersion = 8;

#if defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(void*) == 8);
static_assert(sizeof(bool) == 1);

static_assert(sizeof(FilterFunctions) == 9 * 8);
static_assert(offsetof(FilterFunctions, addFilter) == 0);
static_assert(offsetof(FilterFunctions, removeFilter) == 8);
static_assert(offsetof(FilterFunctions, isFPUEnabled) == 16);
static_assert(offsetof(FilterFunctions, isMMXEnabled) == 24);
static_assert(offsetof(FilterFunctions, InitVTables) == 32);
static_assert(offsetof(FilterFunctions, ExceptOutOfMemory) == 40);
static_assert(offsetof(FilterFunctions, Except) == 48);
static_assert(offsetof(FilterFunctions, getCPUFlags) == 56);
static_assert(offsetof(FilterFunctions, getHostVersionInfo) == 64);

static_assert(sizeof(FilterDefinition) == kFilterDefinitionSize);
static_assert(offsetof(FilterDefinition, next) == 0);
static_assert(offsetof(FilterDefinition, prev) == 8);
static_assert(offsetof(FilterDefinition, module) == 16);
static_assert(offsetof(FilterDefinition, name) == 24);
static_assert(offsetof(FilterDefinition, desc) == 32);
static_assert(offsetof(FilterDefinition, maker) == 40);
static_assert(offsetof(FilterDefinition, private_data) == 48);
static_assert(offsetof(FilterDefinition, inst_data_size) == 56);
static_assert(offsetof(FilterDefinition, initProc) == 64);
static_assert(offsetof(FilterDefinition, deinitProc) == 72);
static_assert(offsetof(FilterDefinition, runProc) == 80);
static_assert(offsetof(FilterDefinition, paramProc) == 88);
static_assert(offsetof(FilterDefinition, configProc) == 96);
static_assert(offsetof(FilterDefinition, stringProc) == 104);
static_assert(offsetof(FilterDefinition, startProc) == 112);
static_assert(offsetof(FilterDefinition, endProc) == 120);
static_assert(offsetof(FilterDefinition, script_obj) == 128);
static_assert(offsetof(FilterDefinition, fssProc) == 136);
static_assert(offsetof(FilterDefinition, stringProc2) == 144);
static_assert(offsetof(FilterDefinition, serializeProc) == 152);
static_assert(offsetof(FilterDefinition, deserializeProc) == 160);
static_assert(offsetof(FilterDefinition, copyProc) == 168);
static_assert(offsetof(FilterDefinition, prefetchProc) == 176);
static_assert(offsetof(FilterDefinition, copyProc2) == 184);
static_assert(offsetof(FilterDefinition, prefetchProc2) == 192);
static_assert(offsetof(FilterDefinition, eventProc) == 200);

static_assert(offsetof(VFBitmap, data) == 8);
static_assert(offsetof(VFBitmap, palette) == 16);
static_assert(offsetof(VFBitmap, depth) == 24);
static_assert(offsetof(VFBitmap, w) == 28);
static_assert(offsetof(VFBitmap, h) == 32);
static_assert(offsetof(VFBitmap, pitch) == 40);
static_assert(offsetof(VFBitmap, modulo) == 48);
static_assert(offsetof(VFBitmap, size) == 56);
static_assert(offsetof(VFBitmap, offset) == 64);
static_assert(offsetof(VFBitmap, dwFlags) == 72);
static_assert(offsetof(VFBitmap, hdc) == 80);
static_assert(offsetof(VFBitmap, frameRateNum) == 88);
static_assert(offsetof(VFBitmap, frameRateDen) == 92);
static_assert(offsetof(VFBitmap, frameCount) == 96);
static_assert(offsetof(VFBitmap, pixmapLayout) == 104);
static_assert(offsetof(VFBitmap, pixmap) == 112);
static_assert(offsetof(VFBitmap, aspectNum) == 120);
static_assert(offsetof(VFBitmap, aspectDen) == 124);
static_assert(offsetof(VFBitmap, frameNumber) == 128);
static_assert(offsetof(VFBitmap, timestampStart) == 136);
static_assert(offsetof(VFBitmap, timestampEnd) == 144);
static_assert(offsetof(VFBitmap, cookie) == 152);
static_assert(offsetof(VFBitmap, accelHandle) == 160);
static_assert(offsetof(VFBitmap, borderWidth) == 164);
static_assert(offsetof(VFBitmap, borderHeight) == 168);

static_assert(offsetof(FilterActivation, filter) == 0);
static_assert(offsetof(FilterActivation, filter_data) == 8);
static_assert(offsetof(FilterActivation, dst) == 16);
static_assert(offsetof(FilterActivation, src) == 24);
static_assert(offsetof(FilterActivation, reserved) == 32);
static_assert(offsetof(FilterActivation, last) == 40);
static_assert(offsetof(FilterActivation, x1) == 48);
static_assert(offsetof(FilterActivation, y2) == 60);
static_assert(offsetof(FilterActivation, pfsi) == 64);
static_assert(offsetof(FilterActivation, ifp) == 72);
static_assert(offsetof(FilterActivation, ifp2) == 80);
static_assert(offsetof(FilterActivation, sourceFrameCount) == 88);
static_assert(offsetof(FilterActivation, sourceFrames) == 96);
static_assert(offsetof(FilterActivation, outputFrames) == 104);

static_assert(sizeof(ScriptValue) == 24);
static_assert(offsetof(ScriptValue, type) == 0);
static_assert(offsetof(ScriptValue, thisPtr) == 8);
static_assert(offsetof(ScriptValue, u) == 16);

static_assert(sizeof(ScriptFunctionDef) == 24);
static_assert(offsetof(ScriptFunctionDef, name) == 8);
static_assert(offsetof(ScriptFunctionDef, arg_list) == 16);

static_assert(sizeof(ScriptObject) == 24);
static_assert(offsetof(ScriptObject, func_list) == 8);
static_assert(offsetof(ScriptObject, obj_list) == 16);
#endif
