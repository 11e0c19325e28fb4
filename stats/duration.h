// Whole minutes as duration text, as in "1h 5m".
#pragma once

#include <cstdint>
#include <string>

namespace kavri {

std::string FormatDuration(std::int32_t minutes);

}  // namespace kavri
