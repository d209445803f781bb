// The dialog tests' host process: registers the common controls as the editor
// does (the module relies on the trackbar class being there), and keeps the
// whole run bounded, so that a dialog stuck beyond the reach of its own time
// limit fails the run instead of hanging it.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr auto kRunLimit = std::chrono::minutes(4);

// A virtual X server runs no window manager. Under Wine the dialog's frame
// and title bar are drawn by Wine itself only for windows that it doesn't
// hand to a manager, and such windows also close without waiting for a
// manager that will never answer. Wine reads the setting when the program
// starts, so a program that finds it missing sets it (for this program alone,
// in the build's own Wine prefix) and runs itself again.
constexpr const char* kWineSettings = "Software\\Wine\\AppDefaults\\dialog_tests.exe\\X11 Driver";

bool under_wine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool wine_draws_frames() {
    char value[4] = {};
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, kWineSettings, "Managed", RRF_RT_REG_SZ, nullptr, value, &size) ==
               ERROR_SUCCESS &&
           (value[0] == 'N' || value[0] == 'n');
}

bool let_wine_draw_frames() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWineSettings, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// This program once more, with the same command line and standard handles;
// its exit code.
int run_again() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, GetCommandLineA(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "dialog tests: can't start again (error %lu)\n", GetLastError());
        return 2;
    }
    DWORD code = 3;
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(kRunLimit + std::chrono::seconds(30));
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        std::fprintf(stderr, "dialog tests: the second run did not end, giving up\n");
        TerminateProcess(pi.hProcess, 3);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

void start_watchdog() {
    std::thread([] {
        std::this_thread::sleep_for(kRunLimit);
        std::fprintf(stderr, "dialog tests: still running after %d s, giving up\n",
                     static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(kRunLimit).count()));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    if (under_wine() && !wine_draws_frames()) {
        if (!let_wine_draw_frames()) {
            std::fprintf(stderr, "dialog tests: can't set up Wine for a screen without a window manager\n");
            return 2;
        }
        return run_again();
    }
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&icc)) {
        std::fprintf(stderr, "dialog tests: the common controls could not be registered\n");
        return 2;
    }
    start_watchdog();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
