#include "platform/win32/services.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstddef>

#include "platform/win32/com_ptr.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide.h"

namespace kavri::win32 {

// The records the core fills are the ones this build's Windows headers declare.
static_assert(sizeof(Handle) == sizeof(HANDLE));
static_assert(sizeof(PROCESSENTRY32) == sizeof(ProcessEntry32));
static_assert(offsetof(PROCESSENTRY32, szExeFile) == offsetof(ProcessEntry32, szExeFile));
static_assert(offsetof(PROCESSENTRY32, th32DefaultHeapID) == offsetof(ProcessEntry32, th32DefaultHeapID));
static_assert(NOTIFYICONDATAA_V1_SIZE == sizeof(NotifyIconDataA));
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == offsetof(NotifyIconDataA, hIcon));
static_assert(NOTIFYICONDATAW_V2_SIZE == sizeof(NotifyIconBalloonW));
static_assert(offsetof(NOTIFYICONDATAW, szInfo) == offsetof(NotifyIconBalloonW, szInfo));
static_assert(offsetof(NOTIFYICONDATAW, dwInfoFlags) == offsetof(NotifyIconBalloonW, dwInfoFlags));

namespace {

HANDLE ToHandle(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle FromHandle(HANDLE h) { return reinterpret_cast<Handle>(h); }

}  // namespace

// ---- Kernel

std::uint32_t Win32Kernel::GetDriveTypeA(const char* rootPathName) { return ::GetDriveTypeA(rootPathName); }

Handle Win32Kernel::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(flags, processId);
    if (snapshot == INVALID_HANDLE_VALUE) Trace("CreateToolhelp32Snapshot", std::to_string(flags), ::GetLastError());
    return FromHandle(snapshot);
}

std::int32_t Win32Kernel::Process32First(Handle snapshot, ProcessEntry32* entry) {
    return ::Process32First(ToHandle(snapshot), reinterpret_cast<PROCESSENTRY32*>(entry));
}

std::int32_t Win32Kernel::Process32Next(Handle snapshot, ProcessEntry32* entry) {
    return ::Process32Next(ToHandle(snapshot), reinterpret_cast<PROCESSENTRY32*>(entry));
}

std::int32_t Win32Kernel::CloseHandle(Handle object) { return ::CloseHandle(ToHandle(object)); }

// ---- Shell and multimedia

std::int32_t Win32Shell::Shell_NotifyIconA(std::uint32_t message, NotifyIconDataA* data) {
    // The record's cbSize (88 in the 32-bit program) tells the shell to read the first-version layout only.
    const BOOL done = ::Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(data));
    if (!done) Trace("Shell_NotifyIconA", std::to_string(message), ::GetLastError());
    return done;
}

std::int32_t Win32Shell::Shell_NotifyIconW(std::uint32_t message, NotifyIconBalloonW* data) {
    // cbSize 936 in the 32-bit program: the second-version layout, whose balloon fields every shell since Windows 2000 reads.
    const BOOL done = ::Shell_NotifyIconW(message, reinterpret_cast<NOTIFYICONDATAW*>(data));
    if (!done) Trace("Shell_NotifyIconW", "balloon", ::GetLastError());
    return done;
}

Handle Win32Shell::ShellExecuteA(Handle hwnd, const char* operation, const char* file, const char* parameters,
                                const char* directory, std::int32_t showCommand) {
    const HINSTANCE result = ::ShellExecuteA(reinterpret_cast<HWND>(hwnd), operation, file, parameters, directory,
                                             showCommand);
    const auto code = reinterpret_cast<Handle>(result);
    if (code <= 32) Trace("ShellExecuteA", file, static_cast<DWORD>(code));  // 32 and below are errors
    return code;
}

namespace {

// A folder path in its long form (the temporary folder often comes in its short one), without
// a trailing separator.
std::string LongForm(const wchar_t* path) {
    wchar_t full[32768];
    const DWORD length = ::GetLongPathNameW(path, full, 32768);
    std::string text = length > 0 && length < 32768 ? Utf8(full, static_cast<int>(length)) : Utf8(path);
    while (text.size() > 3 && text.back() == '\\') text.pop_back();
    return text;
}

}  // namespace

std::optional<std::string> Win32Shell::Folder(ShellFolder which) {
    wchar_t path[MAX_PATH + 1] = {};
    if (which == ShellFolder::Temp) {
        if (::GetTempPathW(MAX_PATH + 1, path) == 0) {
            Trace("GetTempPathW", "", ::GetLastError());
            return std::nullopt;
        }
        return LongForm(path);
    }
    const int id = which == ShellFolder::Startup ? CSIDL_STARTUP : CSIDL_LOCAL_APPDATA;
    const HRESULT result = ::SHGetFolderPathW(nullptr, id | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    if (FAILED(result)) {
        Trace("SHGetFolderPathW", std::to_string(id), static_cast<DWORD>(result));
        return std::nullopt;
    }
    return LongForm(path);
}

bool Win32Shell::CreateShellLink(const std::string& linkPath, const std::string& target,
                                 const std::string& workingDirectory) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        reinterpret_cast<void**>(&link.p));
    if (SUCCEEDED(result)) result = link.p->SetPath(Wide(target).c_str());
    if (SUCCEEDED(result)) result = link.p->SetWorkingDirectory(Wide(workingDirectory).c_str());
    if (SUCCEEDED(result)) result = link.p->SetShowCmd(SW_SHOWNORMAL);
    if (SUCCEEDED(result)) result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (SUCCEEDED(result)) result = file.p->Save(Wide(linkPath).c_str(), TRUE);
    if (FAILED(result)) Trace("IShellLinkW", linkPath, static_cast<DWORD>(result));
    return SUCCEEDED(result);
}

std::optional<std::string> Win32Shell::ShellLinkTarget(const std::string& linkPath) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        reinterpret_cast<void**>(&link.p));
    if (SUCCEEDED(result)) result = link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p));
    if (SUCCEEDED(result)) result = file.p->Load(Wide(linkPath).c_str(), STGM_READ);
    if (SUCCEEDED(result)) result = link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    if (FAILED(result) || target[0] == L'\0') {  // no shortcut, or one that names no file
        Trace("IShellLinkW", linkPath, static_cast<DWORD>(result));
        return std::nullopt;
    }
    return Utf8(target);
}

std::uint32_t Win32Multimedia::mciSendStringA(const char* command, char* returnString, std::uint32_t returnLength,
                                              Handle hwndCallback) {
    constexpr std::uint32_t kNoDriver = 306;  // MCIERR_DEVICE_NOT_INSTALLED
    if (!loaded_) {
        loaded_ = true;
        if (const HMODULE winmm = LoadSystemDll(L"winmm.dll")) {
            send_ = reinterpret_cast<SendString>(reinterpret_cast<void*>(::GetProcAddress(winmm, "mciSendStringA")));
            error_ = reinterpret_cast<ErrorString>(reinterpret_cast<void*>(::GetProcAddress(winmm, "mciGetErrorStringA")));
        }
        if (!send_) Trace("LoadLibraryExW", "winmm.dll", ::GetLastError());
    }
    if (!send_) return kNoDriver;
    const std::uint32_t error = send_(command, returnString, returnLength,
                                      reinterpret_cast<void*>(hwndCallback));
    if (error != 0) {
        char reason[128] = {};
        if (error_) error_(error, reason, sizeof reason);
        Trace("mciSendStringA", std::string(command) + ": " + reason, error);
    }
    return error;
}

// ---- Clock and locale

LocalDateTime Win32Clock::Now() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return LocalDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::int64_t Win32Clock::UtcSeconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);  // 100-nanosecond units since 1601-01-01 UTC
    const std::int64_t units = (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::int64_t k1970 = 116444736000000000;  // 1970-01-01 in those units
    constexpr std::int64_t kSecond = 10000000;
    return (units - k1970) / kSecond;
}

std::int64_t Win32Clock::UtcMinutes() { return UtcSeconds() / 60; }

int Win32Clock::Weekday(const LocalDateTime& t) { return WeekdayOf(t); }

std::uint64_t Win32Clock::MillisecondsAsleep() {
    ULONGLONG unbiased = 0;  // 100-nanosecond units, without time asleep
    if (!::QueryUnbiasedInterruptTime(&unbiased)) {
        Trace("QueryUnbiasedInterruptTime", "", ::GetLastError());
        return 0;
    }
    const ULONGLONG ticks = ::GetTickCount64();  // milliseconds, with time asleep
    const ULONGLONG awake = unbiased / 10000;
    return ticks > awake ? ticks - awake : 0;
}

namespace {

// A locale text with the characters the statistics file cannot hold taken out.
std::string LocaleText(LCTYPE type, const char* fallback) {
    char buffer[80];
    const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    if (length == 0) Trace("GetLocaleInfoA", std::to_string(type), ::GetLastError());
    std::string text;
    for (int i = 0; i + 1 < length; ++i)
        if (buffer[i] != '"' && static_cast<unsigned char>(buffer[i]) >= 0x20) text += buffer[i];
    return text.empty() ? fallback : text;
}

}  // namespace

std::string Win32Clock::DateText(const LocalDateTime& t) {
    static const char* const kEnglish[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int month = (t.month + 11) % 12;
    return FormatDateText(t, LocaleText(LOCALE_SABBREVMONTHNAME1 + month, kEnglish[month]), LocaleText(LOCALE_STIME, ":"));
}

// Without best-fit mapping, so that a character the code page lacks is found, never replaced by a
// look-alike. A UTF-8 code page holds every character.
std::optional<std::string> Win32CodePage::ToCodePage(std::string_view utf8) {
    if (::GetACP() == CP_UTF8) return std::string(utf8);
    const std::wstring wide = Wide(std::string(utf8));
    if (wide.empty()) return std::string();
    BOOL lacking = FALSE;
    const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &lacking);
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                          nullptr, &lacking);
    if (size == 0 || lacking) return std::nullopt;
    return text;
}

std::string Win32CodePage::FromCodePage(std::string_view text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return Utf8(wide.data(), length);
}

}  // namespace kavri::win32
