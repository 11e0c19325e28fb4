// Disc images packed for the handheld's PlayStation player (".pbp", often "EBOOT.PBP"): the
// first disc's raw sectors, inflated block by block as they are asked for, and the title the
// package carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "discimage/iso_image.h"

namespace kavri {

// The first disc as raw 2352-byte sectors from its first; size is an upper bound (the block
// index is read only as far as the sectors asked for), and a read past the last block fails.
struct PbpDisc {
    ReadImage sectors;
    std::uint64_t size = 0;
};

// Nothing for a file without the package's header or whose data part holds no disc.
std::optional<PbpDisc> OpenPbp(ReadImage file, std::uint64_t fileSize);

// True when the file opens with the package's header, whatever follows it.
bool HasPbpHeader(const ReadImage& file, std::uint64_t fileSize);

// The package's "TITLE" as UTF-8, trimmed; nothing when it is missing, empty, not UTF-8, longer
// than kPbpTitleLimit bytes or holds a control character.
inline constexpr std::size_t kPbpTitleLimit = 128;
std::optional<std::string> ReadPbpTitle(const ReadImage& file, std::uint64_t fileSize);

}  // namespace kavri
