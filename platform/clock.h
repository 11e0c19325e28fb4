// The clocks and the user's locale: local time for what is shown and stored, UTC for the time
// that passes, which daylight saving and time-zone changes do not move.
#pragma once

#include <cstdint>
#include <string>

#include "platform/date_time.h"

namespace kavri {

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
    // Whole minutes since 1970-01-01 00:00 UTC.
    virtual std::int64_t UtcMinutes() = 0;
    // Whole seconds since then.
    virtual std::int64_t UtcSeconds() = 0;
    // Sunday 1 to Saturday 7.
    virtual int Weekday(const LocalDateTime& t) = 0;
    // "MMM DD, YYYY HH:MM:SS" with the locale's month abbreviation and time separator.
    virtual std::string DateText(const LocalDateTime& t) = 0;
    // Milliseconds the computer has spent asleep or hibernating since it started: the tick count,
    // which goes on in sleep, less the unbiased interrupt time, which does not.
    virtual std::uint64_t MillisecondsAsleep() = 0;
};

}  // namespace kavri
