// The local clock and the user's locale.
#pragma once

#include <cstdint>
#include <string>

#include "platform/date_time.h"

namespace kavri {

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
    // Sunday 1 to Saturday 7.
    virtual int Weekday(const LocalDateTime& t) = 0;
    // "MMM DD, YYYY HH:MM:SS" with the locale's month abbreviation and time separator.
    virtual std::string DateText(const LocalDateTime& t) = 0;
    // Milliseconds the computer has spent asleep or hibernating since it started: the tick count,
    // which goes on in sleep, less the unbiased interrupt time, which does not.
    virtual std::uint64_t MillisecondsAsleep() = 0;
};

}  // namespace kavri
