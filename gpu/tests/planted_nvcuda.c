/* A stranger's nvcuda.dll, planted beside the host program (test code, never
   shipped). It tells the process that it was loaded, and counts the calls of
   the one driver entry that every user of a driver makes first. */
#include <windows.h>

static int calls;

__declspec(dllexport) int cuInit(unsigned flags) {
    (void)flags;
    ++calls;
    return 100; /* no device */
}

__declspec(dllexport) int planted_calls(void) { return calls; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableA("ORV_PLANTED_NVCUDA_LOADED", "1");
    return TRUE;
}
