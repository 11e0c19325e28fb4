#include "platform/win32/path_workers.h"

#include <string>

#include "platform/win32/trace.h"
#include "platform/win32/wide.h"

namespace kavri::win32 {
namespace {

// "\\?\C:\x" as "C:\x", "\\?\UNC\server\x" as "\\server\x".
std::string WithoutPrefix(std::string path) {
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + path.substr(7);
    if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

}  // namespace

bool Win32Sync::Failed() {
    Trace("CreateThread", "handle paths", ::GetLastError());
    return false;
}

HandlePath PathWorkers::AskPath(HANDLE file) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return {HandlePath::Outcome::NotDiskFile, {}};
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), 32768, 0);
    if (length == 0 || length >= 32768) return {HandlePath::Outcome::Failed, {}};
    return {HandlePath::Outcome::Path, WithoutPrefix(Utf8(path.data(), static_cast<int>(length)))};
}

}  // namespace kavri::win32
