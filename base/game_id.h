// Game identifier from the first line of a disc's boot configuration file.
#pragma once

#include <string>
#include <string_view>

namespace kavri {

// The text up to the first carriage return; a lone line feed stays in the line.
std::string_view FirstLine(std::string_view text);

// "BOOT = cdrom:\SLUS_005.94;1" gives "SLUS-00594"; empty when there is no identifier.
// Characters that would corrupt the statistics file (double quotes, control characters)
// come out as underscores.
std::string GameIdFromLine(std::string_view line);

// The key under which an identifier is found whatever its letter case.
std::string IdKey(std::string_view id);

}  // namespace kavri
