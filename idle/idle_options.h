// The user's choice on time away from the game, kept in "kvroptions.csv": a first line
// "KavriStat options",1 then "idle","on" or "off","<limit in minutes>", lines ending in CR LF.
#pragma once

#include <string>
#include <string_view>

namespace kavri {

inline constexpr int kIdleLimitMin = 2, kIdleLimitMax = 60, kIdleLimitDefault = 10;

struct IdleOptions {
    bool on = false;  // time away from the game is not counted
    int limitMinutes = kIdleLimitDefault;
    bool operator==(const IdleOptions&) const = default;
};

struct IdleOptionsContent {
    IdleOptions options;  // off unless the file reads cleanly
    bool clean = false;
    bool newer = false;  // written by a later version: read for nothing, never replaced
};

std::string FormatIdleOptions(const IdleOptions& options);
IdleOptionsContent ParseIdleOptions(std::string_view bytes);

}  // namespace kavri
