// Files through the wide Win32 file API. A whole-file write goes to a new file beside the old
// one, which takes the old one's place only when it is complete. Every failure carries its reason.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "discimage/image_path.h"
#include "platform/win32/services.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide.h"

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
    HANDLE Release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }

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

HANDLE CreateNew(const std::string& path) {
    return ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Writes what fill puts into a new file at path and flushes it; a write that fails part-way
// removes what was written.
template <class Fill>
FileStatus WriteNew(const std::string& path, bool flush, Fill fill) {
    File file(CreateNew(path));
    if (!file.Ok()) return Failed("CreateFileW", path, true);
    if (fill(file.Get()) && (!flush || ::FlushFileBuffers(file.Get())) && file.Close()) return {};
    const FileStatus status = Failed("WriteFile", path);
    file.Close();
    ::DeleteFileW(Wide(path).c_str());
    return status;
}

bool Absent(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

// A name beside path for its new content. A leftover from an earlier save that was read-only or
// hidden is cleared first; one still being deleted is passed over, so that a refused creation
// means the folder itself is protected.
std::string FreshName(const std::string& path) {
    for (const char* suffix : {".new", ".new1", ".new2"}) {
        const std::string fresh = path + suffix;
        const std::wstring wide = Wide(fresh);
        if (!Absent(wide)) {
            ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(wide.c_str());
        }
        if (Absent(wide)) return fresh;
    }
    return path + ".new";
}

// The path in the form that Windows takes as it stands, without reading a device's name into it:
// "\\?\C:\x", "\\?\UNC\server\x". Nothing for a path that does not name a disk file by its form
// (a device's name, the device namespace, a pipe: discimage/image_path.h), before Windows is
// asked anything of it, and nothing when its full form does not either.
std::optional<std::wstring> LiteralPath(const std::string& path) {
    if (!NamesDiskFile(path)) return std::nullopt;
    const std::wstring wide = Wide(path);
    std::wstring full(32768, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), 32768, full.data(), nullptr);
    if (length == 0 || length >= 32768) return std::nullopt;
    full.resize(length);
    if (!NamesDiskFile(Utf8(full.c_str()))) return std::nullopt;
    if (full.rfind(L"\\\\?\\", 0) == 0) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return std::nullopt;
}

}  // namespace

std::optional<std::int64_t> Win32FileSystem::FileLen(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32FileSystem::ReadText(const std::string& path, std::size_t maxBytes) {
    File file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) {
        Failed("CreateFileW", path);
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

// Measured through its literal path, so that a device or a pipe is never opened to measure it.
std::optional<FileStamp> Win32FileSystem::Stamp(const std::string& path) {
    const auto literal = LiteralPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!literal || !::GetFileAttributesExW(literal->c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    const auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
    return FileStamp{join(data.nFileSizeHigh, data.nFileSizeLow),
                     join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

namespace {

constexpr std::size_t kReadPart = 1 << 20;  // bytes asked of one ReadFile call

// A disk file read at offsets through its one handle, in parts of at most kReadPart.
class DiskFile : public ReadOnlyFile {
public:
    DiskFile(HANDLE handle, std::string path, std::uint64_t size) : file_(handle), path_(std::move(path)), size_(size) {}
    std::uint64_t Size() const override { return size_; }

    std::optional<std::string> ReadAt(std::uint64_t offset, std::size_t length) override {
        std::string bytes;
        while (bytes.size() < length) {
            OVERLAPPED at{};
            const std::uint64_t from = offset + bytes.size();
            at.Offset = static_cast<DWORD>(from);
            at.OffsetHigh = static_cast<DWORD>(from >> 32);
            const std::size_t before = bytes.size();
            bytes.resize(before + std::min(kReadPart, length - before));
            DWORD read = 0;
            if (!::ReadFile(file_.Get(), bytes.data() + before, static_cast<DWORD>(bytes.size() - before), &read, &at)) {
                if (::GetLastError() != ERROR_HANDLE_EOF) {
                    Failed("ReadFile", path_);
                    return std::nullopt;
                }
                read = 0;
            }
            bytes.resize(before + read);
            if (read == 0) break;  // the end of the file
        }
        return bytes;
    }

private:
    File file_;
    std::string path_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> Win32FileSystem::OpenDiskFile(const std::string& path) {
    const auto literal = LiteralPath(path);
    if (!literal) return nullptr;
    // Never the emulator's own handle, and never a lock: the emulator goes on reading its image.
    File file(::CreateFileW(literal->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) {
        Failed("CreateFileW", path);
        return nullptr;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.Get(), &size)) {
        Trace("GetFileType", path, ::GetLastError());
        return nullptr;
    }
    return std::make_unique<DiskFile>(file.Release(), path, static_cast<std::uint64_t>(size.QuadPart));
}

FileStatus Win32FileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::string fresh = FreshName(path);
    const FileStatus written = WriteNew(fresh, true, [&](HANDLE h) { return WriteAll(h, bytes); });
    if (!written) return written;
    if (::MoveFileExW(Wide(fresh).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    FileStatus status = Failed("MoveFileExW", path);
    // The folder took the new file: a refusal is the old file's, held open or read-only.
    if (status.error == FileError::FileDenied || status.error == FileError::InUse) status.error = FileError::ReplaceDenied;
    ::DeleteFileW(Wide(fresh).c_str());
    return status;
}

FileStatus Win32FileSystem::RewriteFile(const std::string& path, std::string_view bytes) {
    File file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Ok()) return Failed("CreateFileW", path);
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

// Copied in pieces and flushed, so that the copy is on disk before the file it keeps is replaced.
FileStatus Win32FileSystem::CopyWhole(const std::string& from, const std::string& to) {
    File source(::CreateFileW(Wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source.Ok()) return Failed("CreateFileW", from);
    // Windows refuses to create over a hidden or system file as if the folder were protected; the
    // copy there is the program's own, so its attributes go first.
    ::SetFileAttributesW(Wide(to).c_str(), FILE_ATTRIBUTE_NORMAL);
    return WriteNew(to, true, [&](HANDLE target) {
        std::string buffer(64 * 1024, '\0');
        for (;;) {
            DWORD read = 0;
            if (!::ReadFile(source.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
            if (read == 0) return true;
            if (!WriteAll(target, std::string_view(buffer.data(), read))) return false;
        }
    });
}

FileStatus Win32FileSystem::WriteBinary(const std::string& path, std::string_view bytes) {
    return WriteNew(path, false, [&](HANDLE h) { return WriteAll(h, bytes); });
}

FileStatus Win32FileSystem::Erase(const std::string& path) {
    if (::DeleteFileW(Wide(path).c_str())) return {};
    return Failed("DeleteFileW", path);
}

FileStatus Win32FileSystem::MakeFolder(const std::string& path) {
    if (FolderExists(path)) return {};
    const std::size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2)
        if (const FileStatus parent = MakeFolder(path.substr(0, slash)); !parent) return parent;
    if (::CreateDirectoryW(Wide(path).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) return {};
    return Failed("CreateDirectoryW", path, true);
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::IsReadOnly(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace kavri::win32
