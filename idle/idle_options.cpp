#include "idle/idle_options.h"

#include <optional>

#include "stats/fields.h"

namespace kavri {
namespace {

constexpr std::string_view kHeader = "\"KavriStat options\",";
constexpr int kVersion = 1;

// A limit written as the program writes it: one or two digits without a leading zero, within the range.
std::optional<int> LimitOf(std::string_view text) {
    if (text.empty() || text.size() > 2 || text[0] == '0') return std::nullopt;
    int limit = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        limit = limit * 10 + (c - '0');
    }
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
    static_assert(kIdleLimitMin == 2 && kIdleLimitMax == 60, "the reason names the range");
    return LimitOf(typed) ? std::string() : "The limit is a whole number of minutes from 2 to 60.";
}

}  // namespace kavri
