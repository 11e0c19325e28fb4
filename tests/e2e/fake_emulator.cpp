// Stands in for the emulator: a process named kavri.exe that waits until it is ended. Its command
// line is for the program to read. A file "kavri-open.txt" beside it names, in UTF-8, the file it
// holds open from then on, as an emulator holds the disc image it plays; emptied, it holds none.
#include <windows.h>

#include <string>

#include "platform/win32/wide.h"

namespace {

std::string Contents(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[4096];
    DWORD read = 0;
    ::ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    ::CloseHandle(file);
    std::string text(buffer, read);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

int main() {
    wchar_t self[MAX_PATH];
    std::wstring control(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    control = control.substr(0, control.find_last_of(L'\\') + 1) + L"kavri-open.txt";
    std::string named;
    HANDLE held = INVALID_HANDLE_VALUE;
    for (;; ::Sleep(200)) {
        const std::string now = Contents(control);
        if (now == named) continue;
        named = now;
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        held = now.empty() ? INVALID_HANDLE_VALUE
                           : ::CreateFileW(kavri::win32::Wide(now).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
}
