#include <gtest/gtest.h>

#include <limits>

#include "stats/duration.h"

namespace kavri {
namespace {

TEST(Duration, HoursAndMinutesWithoutLeadingZerosOrDays) {
    const struct {
        std::int32_t minutes;
        const char* text;
    } rows[] = {{0, "0h 0m"},       {1, "0h 1m"},        {59, "0h 59m"},          {60, "1h 0m"},
                {61, "1h 1m"},      {1439, "23h 59m"},   {1440, "24h 0m"},        {100000, "1666h 40m"},
                {-61, "-1h -1m"},   {-59, "0h -59m"},    {2147483647, "35791394h 7m"},
                {std::numeric_limits<std::int32_t>::min(), "-35791394h -8m"}};
    for (const auto& row : rows) EXPECT_EQ(FormatDuration(row.minutes), row.text) << row.minutes;
}

}  // namespace
}  // namespace kavri
