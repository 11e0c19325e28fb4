// The History window's chart as plain values: the periods of a view, a bar for each with its
// minutes and runs, the scale, the labels and the tip texts. The window only draws them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "history/diary.h"

namespace kavri {

enum class HistoryView { Days, Weeks, Months };

// What the chart's texts take from the user's locale.
struct ChartLocale {
    std::array<std::string, 7> dayNames;     // abbreviated, Sunday first
    std::array<std::string, 12> monthNames;  // abbreviated, January first
    int firstDayOfWeek = 1;                  // 0 Sunday to 6 Saturday
};

struct ChartBar {
    std::int64_t firstDay = 0;  // the period, in days from 1970-01-01
    std::int64_t lastDay = 0;
    std::int32_t minutes = 0;
    std::int64_t runs = 0;  // a sum of days' counts, each of which may be as large as 32 bits hold
    std::string label;  // under the bar
    std::string tip;    // "Sat Dec 05, 2026: 1h 35m in 3 runs"
};

struct ChartTick {
    std::int32_t minutes;
    std::string label;  // "2h", or "30m"
};

struct Chart {
    std::vector<ChartBar> bars;    // oldest first
    std::int32_t scaleTop = 60;    // the minutes at the top of the drawing area
    std::vector<ChartTick> ticks;  // from the lowest up, the top included
    std::string total;             // "Last 14 days: 12h 5m in 9 runs"
};

// The chart of a view ending today, for all games (games empty) or the games given, whose runs
// the diary does not keep: its tips and total leave them out.
Chart MakeChart(const DiaryDays& days, HistoryView view, std::int64_t today, const std::vector<std::string>& games,
                const ChartLocale& locale);

// An entry of the game chooser: what it shows, and the games whose minutes it charts.
struct ChooserEntry {
    std::string title;
    std::vector<std::string> games;
};

// The games in the chooser's order with their names (empty for none) and titles: those that share
// a name, in any letter case, in one entry at the first one's place ("Star Voyager — SLUS-00001,
// SLUS-00002"); a game alone, or without a name, by its title.
std::vector<ChooserEntry> GroupByName(const std::vector<std::string>& games, const std::vector<std::string>& names,
                                      const std::vector<std::string>& titles);

// The games of the diary, most played first, with their minutes.
std::vector<std::pair<std::string, std::int64_t>> GamesByMinutes(const DiaryDays& days);

}  // namespace kavri
