/* A stranger's nvcuda.dll, planted beside the host program (test code, never
   shipped). It does nothing but tell the process that it was loaded. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableA("ORV_PLANTED_NVCUDA_LOADED", "1");
    return TRUE;
}
