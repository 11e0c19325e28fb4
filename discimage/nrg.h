// The Nero image (".nrg"): the disc's sectors, then a chunk list that describes its tracks, found
// through a footer at the file's end.
#pragma once

#include <cstdint>
#include <optional>

#include "discimage/iso_image.h"

namespace kavri {

// The first data track: the byte where its sectors start (its index 1) and their size.
struct NrgTrack {
    std::uint64_t start = 0;
    std::uint32_t sectorSize = 0;
};

// Nothing when the file has no footer, its chunk list lies, or it lists no data track.
std::optional<NrgTrack> FindNrgTrack(const ReadImage& read, std::uint64_t imageSize);

}  // namespace kavri
