// File system services. Paths are single-byte Windows paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Length in bytes, or nothing when the file cannot be measured.
    virtual std::optional<std::int64_t> FileLen(const std::string& path) = 0;
    // The file's bytes, at most maxBytes of them, or nothing when it cannot be read.
    virtual std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) = 0;
    // Replaces the whole file: a complete new file takes the old one's place, or the old one
    // stays as it was. True on success.
    virtual bool WriteWholeFile(const std::string& path, std::string_view bytes) = 0;
    // Writes a new binary file in one piece; a failed write leaves no file. True on success.
    virtual bool WriteBinary(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace kavri
