// The container of CHD files, version 5: its header and its map of hunks, the pieces of the
// disc's bytes each stored on its own, compressed or not.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "discimage/iso_image.h"

namespace kavri::chd {

inline constexpr std::uint32_t kFrame = 2448;  // a sector of 2,352 bytes and 96 of subchannel
inline constexpr std::uint32_t kMaxHunkBytes = 1 << 20;
inline constexpr std::uint64_t kMaxHunks = 1 << 20;

// Hunk kinds of the map: a codec of the header's four, stored as it is, a copy of an earlier
// hunk of this file or of the parent's; and the pseudo-kinds that the map's coding folds away.
enum Kind : std::uint8_t {
    kCodec3 = 3, kNone = 4, kSelf = 5, kParent = 6, kRleSmall = 7, kRleLarge = 8,
    kSelf0 = 9, kSelf1 = 10, kParentSelf = 11, kParent0 = 12, kParent1 = 13, kKinds = 16,
};


struct Hunk {
    std::uint8_t kind = kNone;
    std::uint32_t length = 0;
    std::uint64_t offset = 0;
};

struct Header {
    std::array<std::uint32_t, 4> codecs{};
    std::uint64_t logicalBytes = 0, mapOffset = 0, metaOffset = 0;
    std::uint32_t hunkBytes = 0, hunkCount = 0;
};

// The header of a version 5 CD image that needs no parent file, its sizes within bounds.
std::optional<Header> ReadHeader(const ReadImage& file, std::uint64_t fileSize);

// Whether the compressed map's CRC is checked. Only a fuzzer skips it, so that the map's code
// behind the check meets generated input.
enum class MapCheck { Crc, SkipCrcForFuzzing };

// Where each hunk lies and how it is stored; nothing when the map lies.
std::optional<std::vector<Hunk>> ReadMap(const ReadImage& file, std::uint64_t fileSize, const Header& header,
                                         MapCheck check = MapCheck::Crc);

// The hunk whose bytes hunk index has, following copies within the file; nothing for a copy of
// itself, of a later hunk or of one past the map (a chain that would not end), or of a parent's.
std::optional<std::uint32_t> StoredHunk(const std::vector<Hunk>& map, std::uint32_t index);

}  // namespace kavri::chd
