// The play diary, kept for good in "kvrdiary.csv" beside the statistics file: per local date the
// minutes played and the runs started, and per date and game the minutes of that game.
//   "KavriStat diary",1                   name and format version
//   "2026-12-05","95","3",""              a date's minutes and runs
//   "2026-12-05","60","","SLUS-00594"     the minutes of a game on that date
// Dates rise; a date's own line comes first, then its games in the order they were first played
// that day. Lines end in CR LF.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavri {

struct DiaryDay {
    std::int32_t minutes = 0;
    std::int32_t runs = 0;
    std::vector<std::pair<std::string, std::int32_t>> games;  // identifier and its minutes

    friend bool operator==(const DiaryDay&, const DiaryDay&) = default;
};

// Days are counted from 1970-01-01.
using DiaryDays = std::map<std::int64_t, DiaryDay>;

class Diary {
public:
    static constexpr std::int32_t kMinutesADay = 1440;

    const DiaryDays& Days() const { return days_; }
    void AddRun(std::int64_t day);
    // Minutes played on a day, and by the game when one is named. What would take the day past a
    // whole day's minutes is left out; the minutes taken are returned.
    std::int32_t AddMinutes(std::int64_t day, std::string_view game, std::int32_t minutes);
    void Assign(DiaryDays days);

    // Grows with every change, so that a save can tell whether there is anything to write.
    std::uint64_t Revision() const { return revision_; }

private:
    DiaryDays days_;
    std::uint64_t revision_ = 0;
};

std::string FormatDiary(const Diary& diary);

struct DiaryContent {
    DiaryDays days;
    bool clean = true;  // false: something was not in the file's own form, or the version is unknown
};

DiaryContent ParseDiary(std::string_view bytes);

// A diary for a user who had none: the runs list's lines, newest first as the list holds them,
// read with the month names the program writes (the locale's, and English). Each run counts on
// the date it started, its minutes split at midnight; a run whose start text is a games line's
// date text belongs to that game. A line that does not read, or says the run lasted over a year,
// is skipped.
DiaryDays DiaryFromRuns(const std::vector<std::string>& runs, const std::vector<std::string>& games,
                        const std::vector<std::string>& monthNames);

}  // namespace kavri
