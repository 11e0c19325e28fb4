// Files through the Win32 file API. A whole-file write goes to a new file beside the old one,
// which takes the old one's place only when it is complete. Every failure carries its reason.
#include <windows.h>

#include <algorithm>

#include "platform/win32/services.h"
#include "platform/win32/trace.h"

namespace kavri::win32 {
namespace {

class File {
public:
    explicit File(HANDLE h) : h_(h) {}
    ~File() {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close() {
        const bool ok = ::CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

// The failure of the last call, traced. A denied creation means the folder is protected.
FileStatus Failed(const char* call, const std::string& path, bool creating = false) {
    const DWORD code = ::GetLastError();
    Trace(call, path, code);
    switch (code) {
    case ERROR_ACCESS_DENIED: return {creating ? FileError::FolderDenied : FileError::FileDenied, code};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return {FileError::InUse, code};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return {FileError::DiskFull, code};
    default: return {FileError::Other, code};
    }
}

bool WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool MoveTo(HANDLE h, std::int64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    return ::SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

// Creates path anew with the bytes; a failed write removes what was written.
FileStatus WriteNew(const std::string& path, std::string_view bytes, bool flush) {
    File file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) return Failed("CreateFileA", path, true);
    if (WriteAll(file.Get(), bytes) && (!flush || ::FlushFileBuffers(file.Get())) && file.Close()) return {};
    const FileStatus status = Failed("WriteFile", path);
    file.Close();
    ::DeleteFileA(path.c_str());
    return status;
}

}  // namespace

std::optional<std::int64_t> Win32FileSystem::FileLen(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32FileSystem::ReadText(const std::string& path, std::size_t maxBytes) {
    File file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) {
        Failed("CreateFileA", path);
        return std::nullopt;
    }
    std::string text;
    char buffer[64 * 1024];
    while (text.size() < maxBytes) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, maxBytes - text.size()));
        if (!::ReadFile(file.Get(), buffer, want, &read, nullptr)) {
            Failed("ReadFile", path);
            return std::nullopt;
        }
        if (read == 0) break;
        text.append(buffer, read);
    }
    return text;
}

FileStatus Win32FileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::string fresh = path + ".new";
    if (const FileStatus written = WriteNew(fresh, bytes, true); !written) return written;
    if (::MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    const FileStatus status = Failed("MoveFileExA", path);
    ::DeleteFileA(fresh.c_str());
    return status;
}

FileStatus Win32FileSystem::RewriteFile(const std::string& path, std::string_view bytes) {
    File file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file.Ok()) return Failed("CreateFileA", path);
    // Room for a longer content is taken first, so that a full disk stops the rewrite before a
    // byte of the old content changes.
    LARGE_INTEGER old;
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (!::GetFileSizeEx(file.Get(), &old)) return Failed("GetFileSizeEx", path);
    if (size > old.QuadPart && !(MoveTo(file.Get(), size) && ::SetEndOfFile(file.Get()) && MoveTo(file.Get(), 0)))
        return Failed("SetEndOfFile", path);
    if (!WriteAll(file.Get(), bytes) || !::SetEndOfFile(file.Get())) return Failed("WriteFile", path);
    if (!::FlushFileBuffers(file.Get()) || !file.Close()) return Failed("FlushFileBuffers", path);
    return {};
}

FileStatus Win32FileSystem::CopyFile(const std::string& from, const std::string& to) {
    if (::CopyFileA(from.c_str(), to.c_str(), FALSE)) return {};
    return Failed("CopyFileA", to, true);
}

FileStatus Win32FileSystem::WriteBinary(const std::string& path, std::string_view bytes) {
    return WriteNew(path, bytes, false);
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kavri::win32
