#include "platform/win32/services.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstddef>

namespace kavri::win32 {

static_assert(sizeof(void*) == 4, "handles cross the boundary as 32-bit values");
static_assert(sizeof(PROCESSENTRY32) == sizeof(ProcessEntry32));
static_assert(offsetof(PROCESSENTRY32, szExeFile) == offsetof(ProcessEntry32, szExeFile));
static_assert(NOTIFYICONDATAA_V1_SIZE == sizeof(NotifyIconDataA));

namespace {

HANDLE ToHandle(Handle h) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(h)); }
Handle FromHandle(HANDLE h) { return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(h)); }

}  // namespace

// ---- Kernel

std::uint32_t Win32Kernel::GetDriveTypeA(const char* rootPathName) { return ::GetDriveTypeA(rootPathName); }

Handle Win32Kernel::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
    return FromHandle(::CreateToolhelp32Snapshot(flags, processId));
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
    // The record's cbSize of 88 tells the shell to read the first-version layout only.
    return ::Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(data));
}

std::uint32_t Win32Shell::ShellExecuteA(std::uint32_t hwnd, const char* operation, const char* file,
                                        const char* parameters, const char* directory, std::int32_t showCommand) {
    const HINSTANCE result = ::ShellExecuteA(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(hwnd)), operation,
                                             file, parameters, directory, showCommand);
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(result));
}

std::uint32_t Win32Multimedia::mciSendStringA(const char* command, char* returnString, std::uint32_t returnLength,
                                              std::uint32_t hwndCallback) {
    return ::mciSendStringA(command, returnString, returnLength,
                            reinterpret_cast<HWND>(static_cast<std::uintptr_t>(hwndCallback)));
}

// ---- Clock and locale

LocalDateTime Win32Clock::Now() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return LocalDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

int Win32Clock::Weekday(const LocalDateTime& t) { return WeekdayOf(t); }

namespace {

// A locale text with the characters the statistics file cannot hold taken out.
std::string LocaleText(LCTYPE type, const char* fallback) {
    char buffer[80];
    const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
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

}  // namespace kavri::win32
