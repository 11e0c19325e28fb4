// Run by the installer for the user's start-up shortcut "KavriStat.lnk":
//   /install    makes it point at the KavriStat.exe installed beside this program: made where
//               there is none, replaced where it leads to a KavriStat.exe elsewhere, left alone
//               where it leads to anything else;
//   /uninstall  removes it only when it points at the installed KavriStat.exe.
// Any other command line changes nothing and says how to use it.
// Plain buffers keep the C++ library, and its size, out of this small program.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/com_ptr.h"
#include "platform/win32/system_dll.h"

namespace {

using kavri::win32::ComPtr;

// The file the shortcut at path names; false when there is no shortcut that can be read.
bool TargetOf(const wchar_t* path, wchar_t (&target)[MAX_PATH]) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        reinterpret_cast<void**>(&link.p));
    if (SUCCEEDED(result)) result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (SUCCEEDED(result)) result = file.p->Load(path, STGM_READ);
    if (SUCCEEDED(result)) result = link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    return SUCCEEDED(result) && target[0] != L'\0';
}

void MakeShortcut(const wchar_t* path, const wchar_t* target, const wchar_t* folder) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        reinterpret_cast<void**>(&link.p));
    if (SUCCEEDED(result)) result = link.p->SetPath(target);
    if (SUCCEEDED(result)) result = link.p->SetWorkingDirectory(folder);
    if (SUCCEEDED(result)) result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (SUCCEEDED(result)) file.p->Save(path, TRUE);
}

// The part of a path after its last backslash.
const wchar_t* NameOf(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c)
        if (*c == L'\\') name = c + 1;
    return name;
}

enum class Task { Install, Uninstall, None };

// The one argument the installer passes.
Task TaskOf(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine, &count);
    if (!arguments) return Task::None;
    Task task = Task::None;
    if (count == 2 && ::lstrcmpiW(arguments[1], L"/install") == 0) task = Task::Install;
    if (count == 2 && ::lstrcmpiW(arguments[1], L"/uninstall") == 0) task = Task::Uninstall;
    ::LocalFree(arguments);
    return task;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kavri::win32::RestrictDllSearch();
    const Task task = TaskOf(::GetCommandLineW());
    if (task == Task::None) {
        ::MessageBoxW(nullptr,
                      L"The installer of Kavri! Statistics runs this program: StartupShortcut /install points "
                      L"your start-up shortcut KavriStat.lnk at the KavriStat.exe beside it, and "
                      L"StartupShortcut /uninstall removes that shortcut when it points there. Nothing was changed.",
                      L"KavriStat start-up shortcut", MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    const bool install = task == Task::Install;
    wchar_t folder[MAX_PATH] = {};
    wchar_t installed[MAX_PATH + 16] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    *const_cast<wchar_t*>(NameOf(folder)) = L'\0';
    ::lstrcpyW(installed, folder);
    ::lstrcatW(installed, L"KavriStat.exe");
    if (const int end = ::lstrlenW(folder); end > 3) folder[end - 1] = L'\0';  // no trailing backslash
    wchar_t shortcut[MAX_PATH + 16] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, shortcut)))
        return 0;
    ::lstrcatW(shortcut, L"\\KavriStat.lnk");
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 0;
    wchar_t target[MAX_PATH] = {};
    const bool exists = ::GetFileAttributesW(shortcut) != INVALID_FILE_ATTRIBUTES;
    const bool readable = exists && TargetOf(shortcut, target);
    const bool ours = readable && ::lstrcmpiW(target, installed) == 0;
    if (!install && ours) ::DeleteFileW(shortcut);
    if (install && !ours && (!exists || (readable && ::lstrcmpiW(NameOf(target), L"KavriStat.exe") == 0)))
        MakeShortcut(shortcut, installed, folder);
    ::CoUninitialize();
    return 0;
}
