#include "idle/idle_options.h"

#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

constexpr std::string_view kHeader = "\"KavriStat options\",";
constexpr int kVersion = 1;

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
    const auto limit = ParseNumberText((*fields)[2]);
    if (!limit || *limit < kIdleLimitMin || *limit > kIdleLimitMax || std::to_string(static_cast<int>(*limit)) != (*fields)[2])
        return content;
    content.options = IdleOptions{(*fields)[1] == "on", static_cast<int>(*limit)};
    content.clean = in.AtEnd() && !in.Altered();
    if (!content.clean) content.options = IdleOptions{};
    return content;
}

}  // namespace kavri
