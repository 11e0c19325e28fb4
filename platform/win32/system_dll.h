// DLLs come from the system folder only: a DLL of the same name lying beside the program (in a
// Downloads folder, say) must never run inside it.
#pragma once

#include <windows.h>

namespace kavri::win32 {

// Restricts every later DLL search, and the search for the dependencies of every DLL loaded
// later, to the system folder. Called before anything else runs.
inline void RestrictDllSearch() {
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    // Windows 7 has it only with its 2011 loader update; without it the current folder at least
    // leaves the search.
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(kSearchSystem32)) ::SetDllDirectoryW(L"");
}

// Loads a DLL from the system folder, and its own dependencies from there too: by the loader's own
// flag where it knows it, else by its full path there.
inline HMODULE LoadSystemDll(const wchar_t* name) {
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (const HMODULE module = ::LoadLibraryExW(name, nullptr, kSearchSystem32)) return module;
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;  // the flag was known: the DLL is not there
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + ::lstrlenW(name) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    ::lstrcpyW(path + length + 1, name);
    return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace kavri::win32
