// The system's process-attach notification: the only place that learns the
// module's instance handle.
#include <windows.h>

#include "host/module_handle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) orv::keep_dll_handle(instance);
    return TRUE;
}
