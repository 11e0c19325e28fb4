// A diary built from the runs list, for a user who had none: "MMM DD, YYYY HH:MM:SS - 1h 5m".
#include <cctype>
#include <optional>
#include <unordered_map>

#include "history/diary.h"
#include "platform/date_time.h"
#include "stats/duration.h"
#include "stats/game_totals.h"

namespace kavri {
namespace {

struct RunStart {
    std::int64_t day;
    int minuteOfDay;
};

// Reads a number of exactly so many digits at text[at], advancing at.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t count) {
    int value = 0;
    for (std::size_t i = 0; i < count; ++i, ++at) {
        if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) return std::nullopt;
        value = value * 10 + (text[at] - '0');
    }
    return value;
}

bool Skip(std::string_view text, std::size_t& at, std::string_view what) {
    if (text.substr(at, what.size()) != what) return false;
    at += what.size();
    return true;
}

// Skips the time separator: the characters up to the next digit, at most three of them.
bool SkipSeparator(std::string_view text, std::size_t& at) {
    const std::size_t from = at;
    while (at < text.size() && at - from < 3 && !std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    return at > from;
}

// The start of a run from its text, with the month names the program writes.
std::optional<RunStart> ReadStart(std::string_view text, const std::vector<std::string>& monthNames) {
    for (std::size_t m = 0; m < monthNames.size(); ++m) {
        std::size_t at = 0;
        if (monthNames[m].empty() || !Skip(text, at, monthNames[m]) || !Skip(text, at, " ")) continue;
        const auto day = Digits(text, at, 2);
        const bool comma = day && Skip(text, at, ", ");
        const auto year = comma ? Digits(text, at, 4) : std::nullopt;
        const auto hour = year && Skip(text, at, " ") ? Digits(text, at, 2) : std::nullopt;
        const auto minute = hour && SkipSeparator(text, at) ? Digits(text, at, 2) : std::nullopt;
        const auto second = minute && SkipSeparator(text, at) ? Digits(text, at, 2) : std::nullopt;
        const int month = static_cast<int>(m % 12) + 1;
        if (!second || at != text.size()) continue;
        // A second implies the fields before it.
        const int hh = hour.value_or(0), mm = minute.value_or(0);
        if (hh > 23 || mm > 59 || *second > 59) continue;
        const std::int64_t days = DaysFromCivil(*year, month, *day);
        if (CivilFromDays(days).day != *day) continue;  // no such date
        return RunStart{days, hh * 60 + mm};
    }
    return std::nullopt;
}

}  // namespace

DiaryDays DiaryFromRuns(const std::vector<std::string>& runs, const std::vector<std::string>& games,
                        const std::vector<std::string>& monthNames) {
    std::unordered_map<std::string, std::string> gameAt;  // a games line's date text to its game
    for (const std::string& line : games)
        if (const GameTotal game = TotalFromGamesLine(line); !game.id.empty()) gameAt.emplace(game.firstPlayed, game.id);
    Diary diary;
    for (auto line = runs.rbegin(); line != runs.rend(); ++line) {  // oldest first
        const std::size_t dash = line->rfind(" - ");
        const std::string_view start = std::string_view(*line).substr(0, dash);
        const auto run = ReadStart(start, monthNames);
        const auto minutes = dash == std::string::npos ? std::optional<std::int32_t>(0)
                                                       : ParseDuration(std::string_view(*line).substr(dash + 3));
        // A run said to have lasted over a year is no run the program timed.
        if (!run || !minutes || *minutes > 366 * Diary::kMinutesADay) continue;
        const auto game = gameAt.find(std::string(start));
        const std::string_view id = game == gameAt.end() ? std::string_view() : std::string_view(game->second);
        diary.AddRun(run->day);
        // Split at each midnight the run went past.
        std::int32_t left = *minutes;
        for (std::int64_t day = run->day; left > 0; ++day) {
            const std::int32_t today = std::min(left, Diary::kMinutesADay - (day == run->day ? run->minuteOfDay : 0));
            diary.AddMinutes(day, id, today);
            left -= today;
        }
    }
    return diary.Days();
}

}  // namespace kavri
