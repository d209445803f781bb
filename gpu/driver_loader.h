// FFmpeg's header-only loader of the NVIDIA driver (Debian's
// libffmpeg-nvenc-dev), set up for a module that must never be misled into
// loading a stranger's library and never prints anything.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <cstring>

namespace orv::cuda {

// nvcuda.dll comes with the driver into the system folder, and is loaded from
// there by its full path. Looking for it anywhere else (the host's folder, the
// current folder, PATH) would let a DLL planted beside a video run inside the
// editor; and a bare name, whatever the search flags, matches any module of
// that name already in the process, such as one that another plug-in loaded
// from its own folder. Dependencies come from the system folder as well. A
// damaged file must not put up the loader's message box inside the host.
inline HMODULE load_system_library(const char* name) noexcept {
    wchar_t path[MAX_PATH];
    const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
    const size_t nameLength = std::strlen(name);
    if (folder == 0 || folder + 1 + nameLength >= MAX_PATH) return nullptr;
    path[folder] = L'\\';
    for (size_t i = 0; i <= nameLength; ++i) path[folder + 1 + i] = static_cast<wchar_t>(name[i]);
    DWORD previousMode = 0;
    const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode) != 0;
    HMODULE lib = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (modeSet) SetThreadErrorMode(previousMode, nullptr);
    return lib;
}

}  // namespace orv::cuda

#define FFNV_LIB_HANDLE HMODULE
#define FFNV_LOAD_FUNC(path) ::orv::cuda::load_system_library(path)
#define FFNV_SYM_FUNC(lib, sym) GetProcAddress((lib), (sym))
#define FFNV_FREE_FUNC(lib) FreeLibrary(lib)
#endif

// A missing driver is an ordinary situation that the CPU route covers; the
// user hears nothing of it.
#define FFNV_LOG_FUNC(logctx, msg, ...) ((void)(logctx))
#define FFNV_DEBUG_LOG_FUNC(logctx, msg, ...) ((void)(logctx))

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif
#include <ffnvcodec/dynlink_loader.h>
#pragma GCC diagnostic pop
