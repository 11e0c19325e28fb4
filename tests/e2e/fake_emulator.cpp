// Stands in for the emulator: a process named kavri.exe that waits until it is ended. Its command
// line is for the program to read. A file "kavri-open.txt" beside it names, in UTF-8, the file it
// holds open from then on, as an emulator holds the disc image it plays; emptied, it holds none.
// A name after "map:" is mapped into memory instead, and every handle to the file closed, as an
// emulator that reads its image through a view does.
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
    void* view = nullptr;
    for (;; ::Sleep(200)) {
        const std::string now = Contents(control);
        if (now == named) continue;
        named = now;
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        if (view) ::UnmapViewOfFile(view);
        view = nullptr;
        const bool map = now.rfind("map:", 0) == 0;
        const std::string path = map ? now.substr(4) : now;
        held = now.empty() ? INVALID_HANDLE_VALUE
                           : ::CreateFileW(kavri::win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (!map || held == INVALID_HANDLE_VALUE) continue;
        const HANDLE mapping = ::CreateFileMappingW(held, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping) view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        if (mapping) ::CloseHandle(mapping);
        ::CloseHandle(held);  // the view alone keeps the file
        held = INVALID_HANDLE_VALUE;
    }
}
