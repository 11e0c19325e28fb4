#include "history/diary.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/game_id.h"
#include "platform/date_time.h"
#include "stats/game_totals.h"
#include "stats/number_text.h"
#include "stats/stats_file.h"

namespace kavri {
namespace {

constexpr std::string_view kHeader = "\"KavriStat diary\",1\r\n";

// A game's minutes on a day, letter case aside; nothing when it was not played that day.
std::int32_t* FindGame(DiaryDay& day, std::string_view game) {
    const std::string key = IdKey(game);
    for (auto& [id, minutes] : day.games)
        if (IdKey(id) == key) return &minutes;
    return nullptr;
}

std::string DateText(std::int64_t day) {
    const LocalDateTime t = CivilFromDays(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

// The digits of text from at, count of them, as a number; -1 when one is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (const char c : text.substr(at, count)) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "YYYY-MM-DD" as written, or nothing.
std::optional<std::int64_t> DayOf(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0) return std::nullopt;
    const std::int64_t days = DaysFromCivil(year, month, day);
    if (DateText(days) != text) return std::nullopt;
    return days;
}

// A count as the program writes it: plain digits, at most a day's minutes for a date's minutes.
std::optional<std::int32_t> Count(std::string_view text) {
    const auto value = ParseNumberText(text);
    if (!value || *value < 0) return std::nullopt;
    const std::int32_t count = SaturateInt32(*value);
    if (std::to_string(count) != text) return std::nullopt;
    return count;
}

void PutLine(std::string& out, std::int64_t day, std::int32_t minutes, std::string_view runs, std::string_view game) {
    for (const std::string& field : {DateText(day), std::to_string(minutes), std::string(runs), std::string(game)})
        out += '"' + field + "\",";
    out.back() = '\r';
    out += '\n';
}

// One line into the days read so far; false when it is not in the file's own form.
bool ReadLine(std::string_view line, DiaryDays& days) {
    FieldReader in(line);
    const auto fields = ReadFields<4>(in);
    if (!fields) return false;
    const auto& [date, played, runText, game] = *fields;
    const auto day = DayOf(date);
    const auto minutes = Count(played);
    if (!day || !minutes || !in.AtEnd() || in.Altered() || (!days.empty() && days.rbegin()->first > *day)) return false;
    if (game.empty()) {  // a date's own line, first of its date
        const auto runs = Count(runText);
        if (!runs || days.count(*day) || *minutes > Diary::kMinutesADay) return false;
        days[*day] = DiaryDay{*minutes, *runs, {}};
        return true;
    }
    const auto it = days.find(*day);
    if (it == days.end() || !runText.empty() || *minutes == 0 || *minutes > it->second.minutes || FindGame(it->second, game))
        return false;
    it->second.games.emplace_back(game, *minutes);
    return true;
}

// A day the file can name: its dates have four-digit years.
bool Nameable(std::int64_t day) {
    static const std::int64_t first = DaysFromCivil(0, 1, 1), last = DaysFromCivil(9999, 12, 31);
    return day >= first && day <= last;
}

}  // namespace

void Diary::AddRun(std::int64_t day) {
    if (!Nameable(day)) return;
    DiaryDay& entry = days_[day];
    if (entry.runs < INT32_MAX) ++entry.runs;
    ++revision_;
}

std::int32_t Diary::AddMinutes(std::int64_t day, std::string_view game, std::int32_t minutes) {
    if (!Nameable(day)) return 0;
    DiaryDay& entry = days_[day];
    const std::int32_t taken = std::clamp(minutes, 0, kMinutesADay - entry.minutes);
    if (taken == 0) return 0;
    entry.minutes += taken;
    ++revision_;
    if (game.empty()) return taken;
    // A character the file cannot hold reads as "_", as in the statistics file.
    std::string id(game);
    for (char& c : id)
        if (c == '"' || c == '\r' || c == '\n') c = '_';
    if (std::int32_t* played = FindGame(entry, id)) *played += taken;
    else entry.games.emplace_back(std::move(id), taken);
    return taken;
}

void Diary::Assign(DiaryDays days) {
    days_ = std::move(days);
    ++revision_;
}

std::string FormatDiary(const Diary& diary) {
    std::string out(kHeader);
    for (const auto& [day, entry] : diary.Days()) {
        PutLine(out, day, entry.minutes, std::to_string(entry.runs), "");
        for (const auto& [game, minutes] : entry.games) PutLine(out, day, minutes, "", game);
    }
    return out;
}

DiaryContent ParseDiary(std::string_view bytes) {
    DiaryContent content;
    content.clean = bytes.starts_with(kHeader);
    if (!content.clean) return content;  // another format, or none: nothing here is ours to read
    bytes.remove_prefix(kHeader.size());
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 2);
        // A line cut short, or not in the file's own form, is left out.
        if (end == std::string_view::npos || line.find_first_of("\r\n") != std::string_view::npos ||
            !ReadLine(line, content.days))
            content.clean = false;
    }
    return content;
}

}  // namespace kavri
