// Reads "SYSTEM.CNF" from the data track of a disc image: the sector layout found at the volume
// descriptor (sector 16), the root directory, the file. Every image is hostile input: each offset
// and length is checked against the image's size, and what is read is capped.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

// Up to length bytes of the image at offset; fewer at its end, nothing when it cannot be read.
using ReadImage = std::function<std::optional<std::string>(std::uint64_t offset, std::size_t length)>;

// Where a data track's 2048 bytes of user data lie in each of its sectors.
struct SectorLayout {
    std::uint64_t start = 0;       // the track's first sector in the image
    std::uint32_t sectorSize = 0;  // 2048, 2336, 2352 or 2448
    std::uint32_t dataOffset = 0;  // 0, 8, 16 or 24
};

// The 12 bytes that open every raw sector.
inline constexpr std::string_view kSectorSync("\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00", 12);

inline constexpr std::size_t kSystemCnfLimit = 64 * 1024;  // as much as is read of the boot file

// The layout whose sector 16 holds a volume descriptor, from start on; raw sectors are told by
// their sync pattern and mode byte.
std::optional<SectorLayout> FindLayout(const ReadImage& read, std::uint64_t imageSize, std::uint64_t start = 0);

// "SYSTEM.CNF" (any letter case, with or without ";1") in the root directory, its first
// kSystemCnfLimit bytes; nothing when there is none or the image lies about it.
std::optional<std::string> ReadSystemCnf(const ReadImage& read, std::uint64_t imageSize, const SectorLayout& layout);

}  // namespace kavri
