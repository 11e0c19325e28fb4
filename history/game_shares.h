// The History window's Games view as plain values: a row per game with its minutes in a period
// and its share of them, most played first. The window only draws them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "history/diary.h"
#include "stats/game_totals.h"

namespace kavri {

enum class SharePeriod { Week, Month, Year, AllTime };  // the last 7 days, the last 30, this year, all time

struct ShareRow {
    std::string name;                // as its disc most played names it; empty for a game without one
    std::string ids;                 // "SLUS-00002, SLUS-00001": the discs that share the name, most played
                                     // first; empty for no game
    std::vector<std::string> games;  // the identifiers whose minutes the row sums
    std::int64_t minutes = 0;
    int percent = 0;  // of the period's minutes, rounded
};

struct GameShares {
    std::vector<ShareRow> rows;  // most minutes first; ties by name, then identifier
    std::int64_t minutes = 0;
    std::int64_t runs = 0;
    std::string total;  // "Last 7 days: 12h 5m in 9 runs"
};

// The statistics file's Total: all time's minutes and runs, which include those of no game.
struct AllTimeTotal {
    std::int64_t minutes = 0;
    std::int64_t runs = 0;
};

inline constexpr char kNoGameRow[] = "No game identified";

// A game's name, in the code page; empty when it has none.
using NameOf = std::function<std::string(std::string_view)>;

// The period ending today from the diary, or all time from the games' totals; games that share a
// name (nameOf's, in any letter case) are one row, and minutes of no game a row of their own.
GameShares MakeGameShares(const DiaryDays& days, const GameTotals& totals, const AllTimeTotal& allTime,
                          const NameOf& nameOf, SharePeriod period, std::int64_t today);

// The row of shares that holds row's first game, or the row of no game for it; -1 when none does.
// A chosen row stays chosen by its game when the rows are made anew and their order changed.
int RowOf(const GameShares& shares, const ShareRow& row);

// Every row a line ending in CR LF, for a spreadsheet: "Crystal Quest<tab>SLUS-00594<tab>95<tab>42%".
std::string SharesText(const GameShares& shares);

}  // namespace kavri
