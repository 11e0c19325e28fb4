// A "winmm.dll" as one lying beside a downloaded program: loading it writes a marker file, and
// its two MCI calls pass on to the system's own copy, so that a program that loads it still works.
#define WIN32_LEAN_AND_MEAN  // no declarations of the multimedia calls this file defines
#include <windows.h>

namespace {

FARPROC SystemCall(const char* name) {
    static HMODULE system = nullptr;
    if (!system) {
        wchar_t path[MAX_PATH];
        const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
        ::lstrcpyW(path + length, L"\\winmm.dll");
        system = ::LoadLibraryW(path);
    }
    return system ? ::GetProcAddress(system, name) : nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) UINT WINAPI mciSendStringA(LPCSTR command, LPSTR reply, UINT length, HWND callback) {
    using Fn = UINT(WINAPI*)(LPCSTR, LPSTR, UINT, HWND);
    const auto call = reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemCall("mciSendStringA")));
    return call ? call(command, reply, length, callback) : 1;
}

extern "C" __declspec(dllexport) BOOL WINAPI mciGetErrorStringA(DWORD error, LPSTR text, UINT length) {
    using Fn = BOOL(WINAPI*)(DWORD, LPSTR, UINT);
    const auto call = reinterpret_cast<Fn>(reinterpret_cast<void*>(SystemCall("mciGetErrorStringA")));
    return call ? call(error, text, length) : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        const HANDLE marker = ::CreateFileW(L"C:\\planted-dll-ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
    }
    return TRUE;
}
