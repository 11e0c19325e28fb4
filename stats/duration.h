// Whole minutes as duration text, as in "1h 5m", and back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavri {

std::string FormatDuration(std::int32_t minutes);
// The minutes of a duration text; nothing for a text of another form or a negative part.
std::optional<std::int32_t> ParseDuration(std::string_view text);

}  // namespace kavri
