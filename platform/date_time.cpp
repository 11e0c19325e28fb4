#include "platform/date_time.h"

namespace kavri {

std::int64_t DaysFromCivil(int year, int month, int day) {
    // Shift the year to start in March so the leap day is the year's last day.
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
    const std::int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

LocalDateTime CivilFromDays(std::int64_t days) {
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return LocalDateTime{static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)), month, day, 0, 0, 0};
}

std::int64_t MinuteSerial(const LocalDateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 1440 + t.hour * 60 + t.minute;
}

int WeekdayOf(const LocalDateTime& t) {
    // 1970-01-01 was a Thursday (5 when Sunday is 1).
    const std::int64_t days = DaysFromCivil(t.year, t.month, t.day);
    const std::int64_t fromThursday = ((days % 7) + 7) % 7;
    return static_cast<int>((fromThursday + 4) % 7) + 1;
}

namespace {

std::string Padded(int value, std::size_t width) {
    const std::string digits = std::to_string(value);
    return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

}  // namespace

std::string FormatDateText(const LocalDateTime& t, std::string_view monthAbbreviation, std::string_view timeSeparator) {
    const std::string separator(timeSeparator);
    std::string text(monthAbbreviation);
    for (const std::string& part : {std::string(" "), Padded(t.day, 2), std::string(", "), Padded(t.year, 4),
                                    std::string(" "), Padded(t.hour, 2), separator, Padded(t.minute, 2), separator,
                                    Padded(t.second, 2)})
        text += part;
    return text;
}

}  // namespace kavri
