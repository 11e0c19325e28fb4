// The ".mds" descriptor of an ".mdf" image: where its first data track lies in which file. The
// descriptor is hostile input: every offset and count is checked against its size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

inline constexpr std::size_t kMdsLimit = 16 * 1024;  // as much of a descriptor as is read

struct MdsTrack {
    std::string file;              // the track's file as named, "*" standing for the descriptor's own name
    std::uint64_t start = 0;       // the track's first byte in that file
    std::uint32_t sectorSize = 0;  // 2048, 2352 or 2448
};

// The first track whose mode is data (mode 1 or 2, in any form), in the order of the sessions and
// their blocks; nothing without the signature, when no data track is listed, or when a block, an
// offset, a count or the data track's sector size lies. A name of 16-bit characters is given as
// UTF-8; one of 8-bit characters as it stands.
std::optional<MdsTrack> ParseMds(std::string_view bytes);

}  // namespace kavri
