// Local calendar date and time to the second, and the calendar arithmetic on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kavri {

struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Days since 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);
// The date of a day counted from 1970-01-01, at midnight.
LocalDateTime CivilFromDays(std::int64_t days);

// Whole minutes since 1970-01-01 00:00, seconds dropped.
std::int64_t MinuteSerial(const LocalDateTime& t);

// Day of the week counted from Sunday as 1 to Saturday as 7.
int WeekdayOf(const LocalDateTime& t);

// "MMM DD, YYYY HH:MM:SS" from a month abbreviation and a time separator.
std::string FormatDateText(const LocalDateTime& t, std::string_view monthAbbreviation, std::string_view timeSeparator);

}  // namespace kavri
