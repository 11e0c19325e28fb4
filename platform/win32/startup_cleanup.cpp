// Run by the uninstaller: removes the user's start-up shortcut "KavriStat.lnk" only when it
// points at the KavriStat.exe installed beside this program; any other shortcut stays. Plain
// buffers keep the C++ library, and its size, out of this small program.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/win32/com_ptr.h"

namespace {

using kavri::win32::ComPtr;

// True when the shortcut file at path names target.
bool PointsAt(const char* path, const char* target) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    wchar_t wide[MAX_PATH] = {};
    char named[MAX_PATH] = {};
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                        reinterpret_cast<void**>(&link.p));
    if (SUCCEEDED(result)) result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (SUCCEEDED(result) && !::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) result = E_FAIL;
    if (SUCCEEDED(result)) result = file.p->Load(wide, STGM_READ);
    if (SUCCEEDED(result)) result = link.p->GetPath(named, MAX_PATH, nullptr, SLGP_RAWPATH);
    return SUCCEEDED(result) && ::lstrcmpiA(named, target) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char installed[MAX_PATH + 16] = {};
    ::GetModuleFileNameA(nullptr, installed, MAX_PATH);
    char* slash = installed;
    for (char* c = installed; *c; ++c)
        if (*c == '\\') slash = c + 1;
    ::lstrcpyA(slash, "KavriStat.exe");
    char shortcut[MAX_PATH + 16] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, shortcut))) return 0;
    ::lstrcatA(shortcut, "\\KavriStat.lnk");
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 0;
    if (PointsAt(shortcut, installed)) ::DeleteFileA(shortcut);
    ::CoUninitialize();
    return 0;
}
