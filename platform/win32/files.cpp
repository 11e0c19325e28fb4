// Files through the Win32 file API. A whole-file write goes to a new file beside the old one,
// which takes the old one's place only when it is complete.
#include <windows.h>

#include <algorithm>

#include "platform/win32/services.h"

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

bool WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Creates path anew with the bytes; a failed write removes what was written.
bool WriteNew(const std::string& path, std::string_view bytes, bool flush) {
    File file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) return false;
    const bool ok = WriteAll(file.Get(), bytes) && (!flush || ::FlushFileBuffers(file.Get())) && file.Close();
    if (!ok) {
        file.Close();
        ::DeleteFileA(path.c_str());
    }
    return ok;
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
    if (!file.Ok()) return std::nullopt;
    std::string text;
    char buffer[64 * 1024];
    while (text.size() < maxBytes) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, maxBytes - text.size()));
        if (!::ReadFile(file.Get(), buffer, want, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        text.append(buffer, read);
    }
    return text;
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::string fresh = path + ".new";
    if (!WriteNew(fresh, bytes, true)) return false;
    if (::MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    ::DeleteFileA(fresh.c_str());
    return false;
}

bool Win32FileSystem::WriteBinary(const std::string& path, std::string_view bytes) { return WriteNew(path, bytes, false); }

}  // namespace kavri::win32
