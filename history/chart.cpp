#include "history/chart.h"

#include <algorithm>
#include <map>

#include "base/game_id.h"
#include "base/text_util.h"
#include "platform/date_time.h"
#include "stats/duration.h"
#include "stats/game_totals.h"

namespace kavri {
namespace {

struct Period {
    std::int64_t first, last;
};

int WeekdayFromSunday(std::int64_t day) { return static_cast<int>(((day + 4) % 7 + 7) % 7); }  // 1970-01-01: Thursday

std::int64_t MonthStart(std::int64_t day) {
    const LocalDateTime t = CivilFromDays(day);
    return DaysFromCivil(t.year, t.month, 1);
}

std::int64_t NextMonth(std::int64_t day) {
    const LocalDateTime t = CivilFromDays(day);
    return t.month == 12 ? DaysFromCivil(t.year + 1, 1, 1) : DaysFromCivil(t.year, t.month + 1, 1);
}

// The view's periods, oldest first, the last one holding today.
std::vector<Period> Periods(HistoryView view, std::int64_t today, int firstDayOfWeek) {
    std::vector<Period> periods;
    if (view == HistoryView::Days) {
        for (std::int64_t day = today - 13; day <= today; ++day) periods.push_back({day, day});
    } else if (view == HistoryView::Weeks) {
        const std::int64_t start = today - (WeekdayFromSunday(today) - firstDayOfWeek + 7) % 7;
        for (int week = 11; week >= 0; --week) periods.push_back({start - 7 * week, start - 7 * week + 6});
    } else {
        std::int64_t start = MonthStart(today);
        for (int month = 0; month < 11; ++month) start = MonthStart(start - 1);
        for (int month = 0; month < 12; ++month, start = NextMonth(start)) periods.push_back({start, NextMonth(start) - 1});
    }
    return periods;
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    if (value < 10) text.insert(0, 1, '0');
    return text;
}

// "Sat Dec 05, 2026", the first day of a period as the tips name it.
std::string DayText(std::int64_t day, const ChartLocale& locale) {
    const LocalDateTime t = CivilFromDays(day);
    return locale.dayNames[WeekdayFromSunday(day)] + " " + locale.monthNames[t.month - 1] + " " + TwoDigits(t.day) + ", " +
           std::to_string(t.year);
}

// Under a bar: the day of the month for a day, with its month for the first bar and the first day
// of a month; the first day and month for a week; the month.
std::string Label(const Period& period, HistoryView view, const ChartLocale& locale, bool firstBar) {
    const LocalDateTime t = CivilFromDays(period.first);
    if (view == HistoryView::Days && !firstBar && t.day != 1) return TwoDigits(t.day);
    if (view == HistoryView::Months) return locale.monthNames[t.month - 1];
    return TwoDigits(t.day) + " " + locale.monthNames[t.month - 1];
}

std::string PeriodText(const Period& period, HistoryView view, const ChartLocale& locale) {
    if (view == HistoryView::Days) return DayText(period.first, locale);
    if (view == HistoryView::Weeks) return "Week of " + DayText(period.first, locale);
    const LocalDateTime t = CivilFromDays(period.first);
    return locale.monthNames[t.month - 1] + " " + std::to_string(t.year);
}

// "1h 35m in 3 runs", or the minutes alone for one game, whose runs are not kept.
std::string Amount(std::int32_t minutes, std::int64_t runs, bool withRuns) {
    std::string text = FormatDuration(minutes);
    if (withRuns) text += " in " + std::to_string(runs) + (runs == 1 ? " run" : " runs");
    return text;
}

// A scale of whole hours over two hours, of minutes below, with at most five steps.
void Scale(Chart& chart) {
    std::int32_t largest = 0;
    for (const ChartBar& bar : chart.bars) largest = std::max(largest, bar.minutes);
    std::int32_t step = 60;
    if (largest > 120) {
        step = 60 * ((largest + 5 * 60 - 1) / (5 * 60));
    } else {
        for (const std::int32_t minutes : {5, 10, 15, 30, 60})
            if ((step = minutes) * 5 >= largest) break;
    }
    chart.scaleTop = std::max(step, (largest + step - 1) / step * step);
    for (std::int32_t at = step; at <= chart.scaleTop; at += step)
        chart.ticks.push_back({at, largest > 120 ? std::to_string(at / 60) + "h" : std::to_string(at) + "m"});
}

}  // namespace

Chart MakeChart(const DiaryDays& days, HistoryView view, std::int64_t today, const std::vector<std::string>& games,
                const ChartLocale& locale) {
    Chart chart;
    std::int32_t minutes = 0;
    std::int64_t runs = 0;
    std::vector<std::string> keys;
    for (const std::string& game : games) keys.push_back(IdKey(game));
    const bool all = keys.empty();
    for (const Period& period : Periods(view, today, locale.firstDayOfWeek)) {
        ChartBar bar{period.first, period.last, 0, 0, Label(period, view, locale, chart.bars.empty()), {}};
        for (auto it = days.lower_bound(period.first); it != days.end() && it->first <= period.last; ++it) {
            bar.runs += it->second.runs;
            if (all) bar.minutes += it->second.minutes;
            for (const auto& [id, played] : it->second.games)
                if (!all && std::find(keys.begin(), keys.end(), IdKey(id)) != keys.end()) bar.minutes += played;
        }
        bar.tip = PeriodText(period, view, locale) + ": " + Amount(bar.minutes, bar.runs, all);
        minutes += bar.minutes;
        runs += bar.runs;
        chart.bars.push_back(std::move(bar));
    }
    static const char* const kRange[] = {"Last 14 days", "Last 12 weeks", "Last 12 months"};
    chart.total = std::string(kRange[static_cast<int>(view)]) + ": " + Amount(minutes, runs, all);
    Scale(chart);
    return chart;
}

std::vector<std::pair<std::string, std::int64_t>> GamesByMinutes(const DiaryDays& days) {
    std::map<std::string, std::pair<std::string, std::int64_t>> byKey;  // named as last played
    for (const auto& [day, entry] : days)
        for (const auto& [id, minutes] : entry.games) {
            auto& game = byKey[IdKey(id)];
            game.first = id;
            game.second += minutes;
        }
    std::vector<std::pair<std::string, std::int64_t>> games;
    for (auto& [key, game] : byKey) games.push_back(std::move(game));
    std::stable_sort(games.begin(), games.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    return games;
}

std::vector<ChooserEntry> GroupByName(const std::vector<std::string>& games, const std::vector<std::string>& names,
                                      const std::vector<std::string>& titles) {
    std::vector<ChooserEntry> entries;
    std::vector<std::string> entryNames;  // of each entry, empty for a game without one
    for (std::size_t i = 0; i < games.size() && i < names.size() && i < titles.size(); ++i) {
        std::size_t found = 0;
        while (found < entryNames.size() && (names[i].empty() || !EqualsNoCase(entryNames[found], names[i]))) ++found;
        if (found < entryNames.size()) {
            ChooserEntry& entry = entries[found];
            entry.games.push_back(games[i]);
            entry.title += ", " + games[i];
            continue;
        }
        entryNames.push_back(names[i]);
        entries.push_back({titles[i], {games[i]}});
    }
    return entries;
}

}  // namespace kavri
