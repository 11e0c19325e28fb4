#include "history/game_shares.h"

#include <algorithm>
#include <unordered_map>

#include "base/game_id.h"
#include "base/text_util.h"
#include "platform/date_time.h"
#include "stats/duration.h"
#include "stats/number_text.h"

namespace kavri {
namespace {

struct Played {
    std::string id;  // as the totals write it, else as last played
    std::int64_t minutes = 0;
};

// Each game's minutes in the period, in the totals' order, then the diary's; and the period's
// minutes and runs.
struct PeriodFigures {
    std::vector<Played> games;
    std::int64_t minutes = 0, runs = 0;
};

std::int64_t FirstDay(SharePeriod period, std::int64_t today) {
    if (period == SharePeriod::Week) return today - 6;
    if (period == SharePeriod::Month) return today - 29;
    return DaysFromCivil(CivilFromDays(today).year, 1, 1);
}

// A game the totals know is written as they write it.
PeriodFigures FromDiary(const DiaryDays& days, const std::vector<GameTotal>& totals, SharePeriod period,
                        std::int64_t today) {
    PeriodFigures figures;
    std::unordered_map<std::string, Played> games;  // by identifier key
    for (auto it = days.lower_bound(FirstDay(period, today)); it != days.end() && it->first <= today; ++it) {
        figures.minutes += it->second.minutes;
        figures.runs += it->second.runs;
        for (const auto& [id, minutes] : it->second.games) {
            Played& game = games[IdKey(id)];
            game.id = id;
            game.minutes += minutes;
        }
    }
    for (std::size_t i = 0; i < totals.size() && !games.empty(); ++i)
        if (const auto it = games.find(IdKey(totals[i].id)); it != games.end()) {
            figures.games.push_back({totals[i].id, it->second.minutes});
            games.erase(it);
        }
    for (auto& [key, game] : games) figures.games.push_back(std::move(game));
    return figures;
}

PeriodFigures FromTotals(const std::vector<GameTotal>& totals, const AllTimeTotal& allTime) {
    PeriodFigures figures;
    for (const GameTotal& total : totals) {
        if (total.minutes <= 0) continue;
        figures.games.push_back({total.id, total.minutes});
        figures.minutes += total.minutes;
    }
    figures.minutes = std::max(figures.minutes, allTime.minutes);
    figures.runs = allTime.runs;
    return figures;
}

std::string Upper(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

std::vector<ShareRow> Rows(PeriodFigures& figures, const std::function<std::string(const std::string&)>& nameOf) {
    std::vector<ShareRow> rows;
    std::unordered_map<std::string, std::size_t> byName;  // upper-case name to its row
    byName.reserve(figures.games.size());
    std::int64_t played = 0;
    for (Played& game : figures.games) {
        played += game.minutes;
        std::string name = nameOf(game.id);
        const auto [at, added] = byName.try_emplace(Upper(name), rows.size());
        if (!added && !name.empty()) {
            ShareRow& row = rows[at->second];
            row.ids += ", " + game.id;
            row.games.push_back(std::move(game.id));
            row.minutes += game.minutes;
            continue;
        }
        rows.push_back({std::move(name), game.id, {game.id}, game.minutes, 0});
    }
    if (figures.minutes > played) rows.push_back({kNoGameRow, "", {}, figures.minutes - played, 0});
    return rows;
}

// Most minutes first; ties by name (a game without one by its identifier) in any letter case.
void SortRows(std::vector<ShareRow>& rows) {
    std::vector<std::pair<std::string, std::size_t>> keys;
    for (std::size_t i = 0; i < rows.size(); ++i) keys.emplace_back(Upper(rows[i].name.empty() ? rows[i].ids : rows[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const std::int64_t left = rows[a.second].minutes, right = rows[b.second].minutes;
        if (left != right) return left > right;
        return a.first != b.first ? a.first < b.first : rows[a.second].ids < rows[b.second].ids;
    });
    std::vector<ShareRow> sorted;
    sorted.reserve(rows.size());
    for (const auto& key : keys) sorted.push_back(std::move(rows[key.second]));
    rows = std::move(sorted);
}

}  // namespace

GameShares MakeGameShares(const DiaryDays& days, const std::vector<GameTotal>& totals, const AllTimeTotal& allTime,
                          const std::function<std::string(const std::string&)>& nameOf, SharePeriod period,
                          std::int64_t today) {
    PeriodFigures figures =
        period == SharePeriod::AllTime ? FromTotals(totals, allTime) : FromDiary(days, totals, period, today);
    GameShares shares{Rows(figures, nameOf), figures.minutes, figures.runs, {}};
    for (ShareRow& row : shares.rows)
        if (figures.minutes > 0) row.percent = static_cast<int>((row.minutes * 200 + figures.minutes) / (2 * figures.minutes));
    SortRows(shares.rows);
    static const char* const kRange[] = {"Last 7 days", "Last 30 days", "This year", "All time"};
    shares.total = std::string(kRange[static_cast<int>(period)]) + ": " + FormatDuration(SaturateInt32(figures.minutes)) +
                   " in " + std::to_string(figures.runs) + (figures.runs == 1 ? " run" : " runs");
    return shares;
}

std::string ShareLine(const ShareRow& row) {
    return row.name + '\t' + row.ids + '\t' + std::to_string(row.minutes) + '\t' + std::to_string(row.percent) + '%';
}

std::string SharesText(const GameShares& shares) {
    std::string text;
    for (const ShareRow& row : shares.rows) text += ShareLine(row) + "\r\n";
    return text;
}

}  // namespace kavri
