#include "idle/idle_options.h"

#include <charconv>

#include "stats/fields.h"

namespace kavri {
namespace {

constexpr std::string_view kHeader = "\"KavriStat options\",";
constexpr int kVersion = 1;

// A limit written as the program writes it: digits without a leading zero, within the range.
std::optional<int> LimitOf(std::string_view text) {
    int limit = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), limit);
    if (text.empty() || text[0] == '0' || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (limit < kIdleLimitMin || limit > kIdleLimitMax) return std::nullopt;
    return limit;
}

}  // namespace

std::string FormatIdleOptions(const IdleOptions& options) {
    return std::string(kHeader) + std::to_string(kVersion) + "\r\n\"idle\",\"" + (options.on ? "on" : "off") + "\",\"" +
           std::to_string(options.limitMinutes) + "\"\r\n";
}

IdleOptionsContent ParseIdleOptions(std::string_view bytes) {
    IdleOptionsContent content;
    const int version = ReadFileVersion(bytes, kHeader);
    if (version > kVersion) content.newer = true;
    if (version != kVersion) return content;
    FieldReader in(bytes);
    const auto fields = ReadFields<3>(in);
    if (!fields || (*fields)[0] != "idle" || ((*fields)[1] != "on" && (*fields)[1] != "off")) return content;
    const auto limit = LimitOf((*fields)[2]);
    content.clean = limit && in.AtEnd() && !in.Altered();
    if (content.clean) content.options = IdleOptions{(*fields)[1] == "on", *limit};
    return content;
}

std::string IdleLimitProblem(std::string_view typed) {
    if (LimitOf(typed)) return {};
    return "The limit is a whole number of minutes from " + std::to_string(kIdleLimitMin) + " to " +
           std::to_string(kIdleLimitMax) + ".";
}

}  // namespace kavri
