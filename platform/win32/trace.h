// Debug traces of failing Windows calls, with the system's error code; seen in a debugger or
// DebugView, never by the user.
#pragma once

#include <windows.h>

#include <string>

namespace kavri::win32 {

inline void Trace(const char* call, const std::string& subject, DWORD error) {
    const std::string line = std::string("KavriStat: ") + call + "(" + subject + ") failed, error " +
                             std::to_string(error) + "\n";
    ::OutputDebugStringA(line.c_str());
}

}  // namespace kavri::win32
