// File system services. Paths are UTF-8; what the files hold is bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

// Why a file operation failed.
enum class FileError {
    None,
    FolderDenied,   // the folder does not let the program create a file
    FileDenied,     // the file itself may not be written
    ReplaceDenied,  // a complete new file was made beside it, but it may not take the old one's place
    InUse,          // another program holds the file
    DiskFull,
    Other,
};

// The outcome of a file operation, with the system's own error code for traces.
struct FileStatus {
    FileError error = FileError::None;
    std::uint32_t systemCode = 0;
    explicit operator bool() const { return error == FileError::None; }
};

// A file's size and the time of its last change, which together tell whether it changed.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// A disk file opened for reading only, shared with every other reader and writer, so that the
// program that holds it goes on using it; closed when dropped.
class ReadOnlyFile {
public:
    virtual ~ReadOnlyFile() = default;
    virtual std::uint64_t Size() const = 0;
    // Up to length bytes from offset, fewer only at the file's end; nothing when the read failed.
    virtual std::optional<std::string> ReadAt(std::uint64_t offset, std::size_t length) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Length in bytes, or nothing when the file cannot be measured.
    virtual std::optional<std::int64_t> FileLen(const std::string& path) = 0;
    // The file's bytes, at most maxBytes of them, or nothing when it cannot be read.
    virtual std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) = 0;
    // Size and time of last change; nothing for a folder or a file that cannot be measured.
    virtual std::optional<FileStamp> Stamp(const std::string& path) = 0;
    // The disk file at path for reading; nothing for a device (a serial port, the console), a
    // folder, or a file that cannot be opened.
    virtual std::unique_ptr<ReadOnlyFile> OpenDiskFile(const std::string& path) = 0;
    // Replaces the whole file: a complete new file beside it takes the old one's place, or the
    // old one stays as it was.
    virtual FileStatus WriteWholeFile(const std::string& path, std::string_view bytes) = 0;
    // Rewrites an existing file in place, whole, and flushes it; for a folder where no new file
    // may be created.
    virtual FileStatus RewriteFile(const std::string& path, std::string_view bytes) = 0;
    // Copies a whole file as it stands on disk, replacing the target, and flushes the copy; a copy
    // that fails part-way is removed.
    virtual FileStatus CopyWhole(const std::string& from, const std::string& to) = 0;
    // Writes a new binary file in one piece; a failed write leaves no file.
    virtual FileStatus WriteBinary(const std::string& path, std::string_view bytes) = 0;
    virtual FileStatus Erase(const std::string& path) = 0;
    // Makes a folder and the folders above it that are missing.
    virtual FileStatus MakeFolder(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // The file carries the read-only attribute.
    virtual bool IsReadOnly(const std::string& path) = 0;
};

}  // namespace kavri
