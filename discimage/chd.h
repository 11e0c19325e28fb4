// CD images in the compressed hunks container, version 5 (".chd"): the header, the compressed
// hunk map and the track metadata are read, then only the hunks that hold the sectors asked for
// are decompressed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "discimage/chd_map.h"
#include "discimage/iso_image.h"

namespace kavri {

// The disc's frames as one run of bytes, 2,448 to a frame (sector and subchannel), and where
// the first data track's sectors lie in it.
struct ChdDisc {
    ReadImage frames;
    std::uint64_t size = 0;
    SectorLayout layout;
};

// Nothing for a file that is no version 5 CD image, that lies about its content, that needs a
// parent file, or whose hunks use a codec not read here ("cdzs", zstd).
std::optional<ChdDisc> OpenChd(const ReadImage& file, std::uint64_t fileSize, chd::MapCheck check = chd::MapCheck::Crc);

// Raw deflate data (no zlib header) inflated to exactly outSize bytes; nothing when it gives fewer.
std::optional<std::string> Inflate(std::string_view in, std::size_t outSize);

}  // namespace kavri
