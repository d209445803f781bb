// FFmpeg's header-only loader of the NVIDIA driver (Debian's
// libffmpeg-nvenc-dev), set up for a module that must never be misled into
// loading a stranger's library and never prints anything.
#pragma once

#ifdef _WIN32
#include <windows.h>
// nvcuda.dll comes with the driver into the system folder. Looking for it
// anywhere else (the host's folder, the current folder, PATH) would let a DLL
// planted beside a video run inside the editor.
#define FFNV_LIB_HANDLE HMODULE
#define FFNV_LOAD_FUNC(path) LoadLibraryExA((path), NULL, LOAD_LIBRARY_SEARCH_SYSTEM32)
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
