// The user's choice on time away from the game, as the Options dialog shows and gives it back
// and "kvroptions.csv" keeps it.
#pragma once

namespace kavri {

inline constexpr int kIdleLimitMin = 2, kIdleLimitMax = 60, kIdleLimitDefault = 10;

struct IdleOptions {
    bool on = false;  // time away from the game is not counted
    int limitMinutes = kIdleLimitDefault;
    bool operator==(const IdleOptions&) const = default;
};

}  // namespace kavri
