#include "discimage/iso_image.h"

#include <algorithm>
#include <string_view>

#include "base/text_util.h"
#include "discimage/byte_order.h"

namespace kavri {
namespace {

constexpr std::size_t kUserData = 2048;
constexpr std::uint32_t kDescriptorSector = 16;
constexpr std::uint32_t kDirectoryLimit = 64;  // sectors of the root directory read at most

// The whole sector at lba (its raw bytes), or nothing past the image's end.
std::optional<std::string> RawSector(const ReadImage& read, std::uint64_t imageSize, const SectorLayout& layout,
                                     std::uint64_t lba) {
    if (layout.start > imageSize || lba > imageSize / layout.sectorSize) return std::nullopt;
    const std::uint64_t at = layout.start + lba * layout.sectorSize;
    if (at + layout.sectorSize > imageSize) return std::nullopt;
    auto bytes = read(at, layout.sectorSize);
    if (!bytes || bytes->size() != layout.sectorSize) return std::nullopt;
    return bytes;
}

std::optional<std::string> UserData(const ReadImage& read, std::uint64_t imageSize, const SectorLayout& layout,
                                    std::uint64_t lba) {
    const auto raw = RawSector(read, imageSize, layout, lba);
    if (!raw) return std::nullopt;
    return raw->substr(layout.dataOffset, kUserData);
}

bool IsDescriptor(std::string_view data) { return data.size() >= 7 && data.substr(0, 7) == std::string_view("\x01" "CD001\x01", 7); }

// The name of a directory record as "SYSTEM.CNF", without its version.
bool IsSystemCnf(std::string_view name) {
    if (const std::size_t semicolon = name.find(';'); semicolon != std::string_view::npos) name = name.substr(0, semicolon);
    return EqualsNoCase(name, "SYSTEM.CNF");
}

struct Extent {
    std::uint32_t lba, size;
};

// The record of "SYSTEM.CNF" among the directory's sectors.
std::optional<Extent> FindInDirectory(const ReadImage& read, std::uint64_t imageSize, const SectorLayout& layout,
                                      Extent directory) {
    const std::uint32_t sectors = std::min<std::uint32_t>(kDirectoryLimit, (directory.size + kUserData - 1) / kUserData);
    for (std::uint32_t s = 0; s < sectors; ++s) {
        const auto data = UserData(read, imageSize, layout, std::uint64_t{directory.lba} + s);
        if (!data) return std::nullopt;
        for (std::size_t at = 0; at + 34 <= data->size();) {
            const auto length = static_cast<unsigned char>((*data)[at]);
            if (length == 0) break;  // the rest of this sector is padding
            const auto nameLength = static_cast<unsigned char>((*data)[at + 32]);
            if (length < 34 || at + length > data->size() || 33u + nameLength > length) break;
            const bool isFile = (static_cast<unsigned char>((*data)[at + 25]) & 2) == 0;
            if (isFile && IsSystemCnf(std::string_view(*data).substr(at + 33, nameLength)))
                return Extent{static_cast<std::uint32_t>(Le(*data, at + 2, 4)), static_cast<std::uint32_t>(Le(*data, at + 10, 4))};
            at += length;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<SectorLayout> FindLayout(const ReadImage& read, std::uint64_t imageSize, std::uint64_t start) {
    static constexpr std::uint32_t kSizes[] = {2048, 2352, 2336, 2448};
    for (const std::uint32_t size : kSizes) {
        SectorLayout layout{start, size, 0};
        const auto raw = RawSector(read, imageSize, layout, kDescriptorSector);
        if (!raw) continue;
        if (size == 2336) layout.dataOffset = 8;  // mode 2 without sync and header: the subheader first
        if (size == 2352 || size == 2448) {
            if (raw->substr(0, kSectorSync.size()) != kSectorSync) continue;
            const auto mode = static_cast<unsigned char>((*raw)[15]);
            layout.dataOffset = mode == 1 ? 16 : mode == 2 ? 24 : 0;  // mode 2 form 1: after the subheader
            if (layout.dataOffset == 0) continue;
        }
        if (IsDescriptor(std::string_view(*raw).substr(layout.dataOffset))) return layout;
    }
    return std::nullopt;
}

std::optional<std::string> ReadSystemCnf(const ReadImage& read, std::uint64_t imageSize, const SectorLayout& layout) {
    const auto descriptor = UserData(read, imageSize, layout, kDescriptorSector);
    if (!descriptor || !IsDescriptor(*descriptor)) return std::nullopt;
    const Extent root{static_cast<std::uint32_t>(Le(*descriptor, 156 + 2, 4)), static_cast<std::uint32_t>(Le(*descriptor, 156 + 10, 4))};  // the root's directory record
    const auto file = FindInDirectory(read, imageSize, layout, root);
    if (!file) return std::nullopt;
    std::string bytes;
    const std::size_t wanted = std::min<std::size_t>(file->size, kSystemCnfLimit);
    for (std::uint64_t lba = file->lba; bytes.size() < wanted; ++lba) {
        const auto data = UserData(read, imageSize, layout, lba);
        if (!data) return std::nullopt;  // the record points past the image
        bytes += data->substr(0, wanted - bytes.size());
    }
    return bytes;
}

}  // namespace kavri
