#include "history/game_shares.h"

#include <algorithm>
#include <unordered_map>

#include "base/text_util.h"
#include "history/chart.h"
#include "platform/date_time.h"
#include "stats/duration.h"
#include "stats/number_text.h"

namespace kavri {
namespace {

// The period's days from the diary; all time as one day holding every game's total.
DiaryDays PeriodDays(const DiaryDays& days, const GameTotals& totals, SharePeriod period, std::int64_t today) {
    if (period == SharePeriod::AllTime) {
        DiaryDay all;
        for (const GameTotal& total : totals.Games()) {
            std::string id = total.id;
            const std::int32_t minutes = total.minutes;
            if (minutes > 0) all.games.emplace_back(std::move(id), minutes);
        }
        return {{today, std::move(all)}};
    }
    const std::int64_t first = period == SharePeriod::Week    ? today - 6
                               : period == SharePeriod::Month ? today - 29
                                                              : DaysFromCivil(CivilFromDays(today).year, 1, 1);
    return DiaryDays(days.lower_bound(first), days.upper_bound(today));
}

std::string Upper(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

// A row per name, in any letter case, its discs most played first; a game without a name alone.
std::vector<ShareRow> Rows(const DiaryDays& period, const GameTotals& totals, const NameOf& nameOf) {
    std::vector<ShareRow> rows;
    std::unordered_map<std::string, std::size_t> byName;  // upper-case name to its row
    for (auto& [played, minutes] : GamesByMinutes(period)) {
        const GameTotal* total = totals.Find(played);
        const std::string& id = total ? total->id : played;  // as the games list writes it
        std::string name = nameOf(id);
        const auto [at, added] = byName.try_emplace(Upper(name), rows.size());
        if (added || name.empty()) {
            rows.push_back({std::move(name), id, {id}, minutes, 0});
            continue;
        }
        ShareRow& row = rows[at->second];
        (row.ids += ", ") += id;
        row.games.push_back(id);
        row.minutes += minutes;
    }
    return rows;
}

// A game without a name is placed by its identifier.
bool NameBefore(const ShareRow& a, const ShareRow& b) {
    const std::string& left = a.name.empty() ? a.ids : a.name;
    const std::string& right = b.name.empty() ? b.ids : b.name;
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char x, char y) { return UpperAscii(x) < UpperAscii(y); });
}

// Most minutes first; ties by name, then identifiers. Indices are sorted, the rows moved once.
void SortRows(std::vector<ShareRow>& rows) {
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        const ShareRow &a = rows[i], &b = rows[j];
        if (a.minutes != b.minutes) return a.minutes > b.minutes;
        return NameBefore(a, b) || (!NameBefore(b, a) && a.ids < b.ids);
    });
    std::vector<ShareRow> sorted;
    for (const std::size_t i : order) sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

}  // namespace

GameShares MakeGameShares(const DiaryDays& days, const GameTotals& totals, const AllTimeTotal& allTime,
                          const NameOf& nameOf, SharePeriod period, std::int64_t today) {
    const DiaryDays periodDays = PeriodDays(days, totals, period, today);
    GameShares shares{Rows(periodDays, totals, nameOf), 0, 0, {}};
    std::int64_t played = 0;
    for (const ShareRow& row : shares.rows) played += row.minutes;
    for (const auto& [day, entry] : periodDays) shares.minutes += entry.minutes, shares.runs += entry.runs;
    if (period == SharePeriod::AllTime) shares.minutes = allTime.minutes, shares.runs = allTime.runs;
    shares.minutes = std::max(shares.minutes, played);
    if (shares.minutes > played) shares.rows.push_back({kNoGameRow, "", {}, shares.minutes - played, 0});
    for (ShareRow& row : shares.rows)  // rounded half up
        row.percent = static_cast<int>((row.minutes * 200 + shares.minutes) / (2 * shares.minutes));
    SortRows(shares.rows);
    static const char* const kRange[] = {"Last 7 days", "Last 30 days", "This year", "All time"};
    shares.total = std::string(kRange[static_cast<int>(period)]) + ": " +
                   FormatDuration(SaturateInt32(static_cast<double>(shares.minutes))) + " in " +
                   std::to_string(shares.runs) + (shares.runs == 1 ? " run" : " runs");
    return shares;
}

int RowOf(const GameShares& shares, const ShareRow& row) {
    for (std::size_t i = 0; i < shares.rows.size(); ++i) {
        const std::vector<std::string>& games = shares.rows[i].games;
        if (row.games.empty() ? games.empty()
                              : std::any_of(games.begin(), games.end(),
                                            [&](const std::string& game) { return EqualsNoCase(game, row.games.front()); }))
            return static_cast<int>(i);
    }
    return -1;
}

std::string SharesText(const GameShares& shares) {
    std::string text;
    for (const ShareRow& row : shares.rows) {
        for (const std::string& field : {row.name, row.ids, std::to_string(row.minutes), std::to_string(row.percent) + '%'})
            (text += field) += '\t';
        text.back() = '\r';
        text += '\n';
    }
    return text;
}

}  // namespace kavri
