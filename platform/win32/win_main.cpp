// Program entry: DLLs from the system folder only, the single-instance test, then the window.
#include <windows.h>

#include "platform/win32/main_window.h"
#include "platform/win32/system_dll.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kavri::win32::RestrictDllSearch();
    // A drive without a disc answers with an error instead of asking the user for one.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // One named object per session: whoever creates it first is the running instance.
    const HANDLE mutex = ::CreateMutexA(nullptr, FALSE, "Quillon.KavriStat.SingleInstance");
    const DWORD error = ::GetLastError();
    const bool previous = error == ERROR_ALREADY_EXISTS || (mutex == nullptr && error == ERROR_ACCESS_DENIED);
    kavri::win32::MainWindow window(instance, previous);
    return window.Run();
}

// An uncaught exception ends the program without the library's message printer, which would
// bring a whole symbol demangler into the executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() { ::ExitProcess(3); }
}  // namespace __gnu_cxx
