#include "stats/duration.h"

namespace kavri {

std::string FormatDuration(std::int32_t minutes) {
    const std::int32_t hours = minutes / 60;  // truncates toward zero
    const std::int32_t rest = minutes - 60 * hours;
    return std::to_string(hours) + "h " + std::to_string(rest) + "m";
}

}  // namespace kavri
