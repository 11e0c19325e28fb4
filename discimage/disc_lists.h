// The text files that name a disc's image files: cue sheets and multi-disc ".m3u" lists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavri {

inline constexpr std::size_t kListLimit = 64 * 1024;  // as much of a cue sheet or list as is read

// The lines of a text, ended by CR, LF or both, each without its blanks at either end; a UTF-8
// byte order mark before the first left out.
std::vector<std::string_view> TextLines(std::string_view text);

// The first data track of a cue sheet: the file that holds it as the sheet names it, where the
// track starts in that file (its INDEX 01, in sectors) and the sector size its mode gives.
struct CueTrack {
    std::string file;
    std::uint64_t startSector = 0;
    std::uint32_t sectorSize = 0;
};
std::optional<CueTrack> ParseCue(std::string_view text);

// The discs a ".m3u" list names, in its order; comments and blank lines left out.
std::vector<std::string> ParseM3u(std::string_view text);

}  // namespace kavri
