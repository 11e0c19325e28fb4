#include "stats/duration.h"

#include "stats/number_text.h"

namespace kavri {

std::string FormatDuration(std::int32_t minutes) {
    const std::int32_t hours = minutes / 60;  // truncates toward zero
    const std::int32_t rest = minutes - 60 * hours;
    return std::to_string(hours) + "h " + std::to_string(rest) + "m";
}

std::optional<std::int32_t> ParseDuration(std::string_view text) {
    const std::size_t h = text.find("h ");
    if (h == std::string_view::npos || !text.ends_with('m')) return std::nullopt;
    const auto hours = ParseNumberText(text.substr(0, h));
    const auto minutes = ParseNumberText(text.substr(h + 2, text.size() - h - 3));
    if (!hours || !minutes || *hours < 0 || *minutes < 0) return std::nullopt;
    return SaturateInt32(*hours * 60 + *minutes);
}

}  // namespace kavri
