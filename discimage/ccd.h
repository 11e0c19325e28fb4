// The CloneCD descriptor (".ccd"): an INI-like text beside the ".img" of raw 2352-byte sectors
// (and the ".sub" of subchannel data, not needed here).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kavri {

inline constexpr std::uint32_t kCcdSectorSize = 2352;  // every sector of the ".img"

// Where the first data track starts in the ".img", in sectors; nothing when the text names none.
std::optional<std::uint64_t> ParseCcd(std::string_view text);

}  // namespace kavri
