// The History chart's model: periods, bars, scale, labels and tips.
#include <gtest/gtest.h>

#include "history/chart.h"
#include "platform/date_time.h"

namespace kavri {
namespace {

constexpr int kSunday = 0, kMonday = 1;
const std::int64_t kSaturday = DaysFromCivil(2026, 12, 5);  // Saturday, December 5, 2026

ChartLocale English(int firstDay) {
    return {{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
            {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
            firstDay};
}

DiaryDays Played() {
    DiaryDays days;
    days[kSaturday] = {95, 3, {{"SLUS-00594", 60}, {"SCES-05678", 35}}};
    days[kSaturday - 6] = {30, 1, {{"slus-00594", 30}}};      // Sunday, November 29
    days[kSaturday - 40] = {200, 2, {{"SCES-05678", 200}}};   // Monday, October 26
    days[kSaturday - 400] = {600, 1, {}};                     // a year before: in no view
    return days;
}

TEST(HistoryChart, PeriodsBarsAndTips) {
    const struct {
        HistoryView view;
        int firstDay;
        std::string game;
        std::size_t count;
        std::vector<std::pair<std::size_t, std::int32_t>> minutes;  // bar index from the last: minutes
        std::string lastLabel, lastTip, total;
    } rows[] = {
        {HistoryView::Days, kMonday, "", 14, {{0, 95}, {6, 30}}, "05", "Sat Dec 05, 2026: 1h 35m in 3 runs",
         "Last 14 days: 2h 5m in 4 runs"},
        {HistoryView::Days, kMonday, "SLUS-00594", 14, {{0, 60}, {6, 30}}, "05", "Sat Dec 05, 2026: 1h 0m",
         "Last 14 days: 1h 30m"},
        {HistoryView::Weeks, kMonday, "", 12, {{0, 95}, {1, 30}, {5, 200}}, "30 Nov",
         "Week of Mon Nov 30, 2026: 1h 35m in 3 runs", "Last 12 weeks: 5h 25m in 6 runs"},
        {HistoryView::Weeks, kSunday, "", 12, {{0, 125}, {1, 0}, {5, 200}}, "29 Nov",
         "Week of Sun Nov 29, 2026: 2h 5m in 4 runs", "Last 12 weeks: 5h 25m in 6 runs"},
        {HistoryView::Months, kMonday, "SCES-05678", 12, {{0, 35}, {1, 0}, {2, 200}}, "Dec", "Dec 2026: 0h 35m",
         "Last 12 months: 3h 55m"},
    };
    for (const auto& row : rows) {
        const std::vector<std::string> games = row.game.empty() ? std::vector<std::string>{} : std::vector{row.game};
        const Chart chart = MakeChart(Played(), row.view, kSaturday, games, English(row.firstDay));
        ASSERT_EQ(chart.bars.size(), row.count) << row.total;
        for (const auto& [fromLast, minutes] : row.minutes)
            EXPECT_EQ(chart.bars[row.count - 1 - fromLast].minutes, minutes) << row.total << " bar " << fromLast;
        EXPECT_EQ(chart.bars.back().label, row.lastLabel);
        EXPECT_EQ(chart.bars.back().tip, row.lastTip);
        EXPECT_EQ(chart.total, row.total);
        for (std::size_t i = 1; i < chart.bars.size(); ++i)  // periods follow each other without a gap
            EXPECT_EQ(chart.bars[i].firstDay, chart.bars[i - 1].lastDay + 1) << row.total;
    }
}

// Discs of one game share its name: the chooser lists the name once, in any letter case, and its
// chart sums them. Games without a name are never one choice.
TEST(HistoryChart, GamesSharingANameAreOneChoice) {
    const struct {
        std::vector<std::string> games, names;
        std::string entries;       // each entry's title, each game titled by its identifier
        std::int32_t firstCharts;  // the first entry's minutes on the Saturday
    } rows[] = {
        {{"SLUS-00594", "SLPM-00001", "SLPS-01234", "SCES-05678"}, {"Crystal Quest", "", "Tokimeki", "Crystal Quest"},
         "SLUS-00594, SCES-05678|SLPM-00001|SLPS-01234", 95},
        {{"SLUS-00594", "SCES-05678"}, {"Crystal Quest", "CRYSTAL quest"}, "SLUS-00594, SCES-05678", 95},
        {{"SLUS-00594", "SCES-05678"}, {"", ""}, "SLUS-00594|SCES-05678", 60},
    };
    for (const auto& row : rows) {
        const auto entries = GroupByName(row.games, row.names, row.games);
        std::string shown;
        for (const ChooserEntry& entry : entries) shown += (shown.empty() ? "" : "|") + entry.title;
        EXPECT_EQ(shown, row.entries);
        const Chart first = MakeChart(Played(), HistoryView::Days, kSaturday, entries[0].games, English(kMonday));
        EXPECT_EQ(first.bars.back().minutes, row.firstCharts) << row.entries;
    }
}

// Days as a hand-edited diary may hold them: sums past 32 bits, months crossed in the Days view.
TEST(HistoryChart, ExtremeDaysAndMonthsCrossed) {
    constexpr std::int32_t kMostRuns = 2147483647;  // the most a diary line's count reads as
    const DiaryDays days{{kSaturday - 1, {1440, kMostRuns, {}}}, {kSaturday, {1440, kMostRuns, {}}}};
    const Chart chart = MakeChart(days, HistoryView::Days, kSaturday, {}, English(kMonday));
    EXPECT_EQ(chart.total, "Last 14 days: 48h 0m in 4294967294 runs");
    // The first bar names its month, as does the first day of the next.
    EXPECT_EQ(chart.bars[0].label + "|" + chart.bars[8].label + "|" + chart.bars[9].label + "|" + chart.bars[10].label,
              "22 Nov|30|01 Dec|02");
}

TEST(HistoryChart, ScaleInMinutesUpToTwoHoursThenWholeHours) {
    const struct {
        std::int32_t largest;
        std::int32_t top;
        std::vector<std::string> labels;
    } rows[] = {
        {0, 5, {"5m"}},
        {24, 25, {"5m", "10m", "15m", "20m", "25m"}},
        {95, 120, {"30m", "60m", "90m", "120m"}},
        {120, 120, {"30m", "60m", "90m", "120m"}},
        {121, 180, {"1h", "2h", "3h"}},
        {1440, 1500, {"5h", "10h", "15h", "20h", "25h"}},
    };
    for (const auto& row : rows) {
        DiaryDays days;
        if (row.largest) days[kSaturday] = {row.largest, 1, {}};
        const Chart chart = MakeChart(days, HistoryView::Days, kSaturday, {}, English(kMonday));
        EXPECT_EQ(chart.scaleTop, row.top) << row.largest;
        std::vector<std::string> labels;
        for (const ChartTick& tick : chart.ticks) labels.push_back(tick.label);
        EXPECT_EQ(labels, row.labels) << row.largest;
    }
    const auto games = GamesByMinutes(Played());
    EXPECT_EQ(games, (std::vector<std::pair<std::string, std::int64_t>>{{"SCES-05678", 235}, {"SLUS-00594", 90}}));
}

}  // namespace
}  // namespace kavri
