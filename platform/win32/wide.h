// Paths cross into Windows as UTF-16 and come back as UTF-8, so that any folder name works
// whatever the system code page.
#pragma once

#include <windows.h>

#include <string>

namespace kavri::win32 {

inline std::wstring Wide(const std::string& utf8) {
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

inline std::string Utf8(const wchar_t* wide, int length = -1) {
    if (length < 0) length = ::lstrlenW(wide);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace kavri::win32
