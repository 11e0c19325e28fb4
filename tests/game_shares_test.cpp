// The Games view's figures: each game's minutes in a period and its share, most played first.
#include <gtest/gtest.h>

#include <algorithm>

#include "history/game_shares.h"
#include "platform/date_time.h"

namespace kavri {
namespace {

const std::int64_t kToday = DaysFromCivil(2027, 1, 6);  // its seventh day back is December 31, 2026

std::string NameOf(std::string_view id) {
    if (id == "SLUS-00594") return "crystal quest";  // in a tie before "Zeta", in any letter case
    if (id == "SLUS-00595") return "CRYSTAL QUEST";  // its second disc: a row is named as its disc most played
    return id == "SCES-00002" ? "Zeta Racer" : "";
}

DiaryDays Played() {
    DiaryDays days;
    days[kToday] = {50, 2, {{"SCES-00002", 20}, {"SLUS-00594", 20}}};  // 10 minutes of no game
    days[kToday - 6] = {30, 1, {{"slus-00595", 30}}};
    days[kToday - 7] = {100, 1, {{"SLPS-01234", 100}}};
    days[kToday - 29] = {7, 1, {{"SCES-00002", 7}}};
    days[kToday - 30] = {500, 1, {{"SLPS-01234", 500}}};
    return days;
}

// The totals reach back before the diary; the name they hold is an old one, renamed since.
GameTotals Totals() {
    GameTotals totals;
    totals.Assign({{"SLUS-00594", 900, "", "", "Old Title", NameFrom::File}, {"SCES-00002", 27, "", "", "", {}},
            {"SLUS-00595", 30, "", "", "", {}}, {"SLPS-01234", 600, "", "", "", {}}});
    return totals;
}

TEST(GameShares, PeriodsRowsAndShares) {
    const struct {
        SharePeriod period;
        std::string rows, total;
    } rows[] = {
        {SharePeriod::Year,
         "crystal quest\tSLUS-00594\t20\t40%\r\nZeta Racer\tSCES-00002\t20\t40%\r\nNo game identified\t\t10\t20%\r\n",
         "This year: 0h 50m in 2 runs"},
        {SharePeriod::Week,
         "CRYSTAL QUEST\tSLUS-00595, SLUS-00594\t50\t63%\r\nZeta Racer\tSCES-00002\t20\t25%\r\n"
         "No game identified\t\t10\t13%\r\n",
         "Last 7 days: 1h 20m in 3 runs"},
        {SharePeriod::Month,
         "\tSLPS-01234\t100\t53%\r\nCRYSTAL QUEST\tSLUS-00595, SLUS-00594\t50\t27%\r\nZeta Racer\tSCES-00002\t27\t14%\r\n"
         "No game identified\t\t10\t5%\r\n",
         "Last 30 days: 3h 7m in 5 runs"},
        {SharePeriod::AllTime,
         "crystal quest\tSLUS-00594, SLUS-00595\t930\t47%\r\n\tSLPS-01234\t600\t30%\r\nNo game identified\t\t443\t22%\r\n"
         "Zeta Racer\tSCES-00002\t27\t1%\r\n",
         "All time: 33h 20m in 40 runs"},
    };
    for (const auto& row : rows) {
        const GameShares shares = MakeGameShares(Played(), Totals(), {2000, 40}, NameOf, row.period, kToday);
        EXPECT_EQ(SharesText(shares), row.rows) << row.total;
        EXPECT_EQ(shares.total, row.total);
    }
}

// A row found again in other rows: by any disc it had, as the view keeps a chosen row while play reorders them.
TEST(GameShares, RowFoundAgain) {
    const auto shares = [](SharePeriod period) { return MakeGameShares(Played(), Totals(), {}, NameOf, period, kToday); };
    const GameShares year = shares(SharePeriod::Year), month = shares(SharePeriod::Month);  // a disc of the first row's two
    EXPECT_EQ((std::vector{RowOf(month, year.rows[0]), RowOf(month, year.rows[1]), RowOf(month, year.rows[2])}), (std::vector{1, 2, 3}));
    EXPECT_EQ(RowOf(year, month.rows[0]), -1);  // SLPS-01234, not played this year
}

// 5,000 games, their discs in pairs under one name, and twenty years of diary.
TEST(GameShares, ManyGamesOverYears) {
    DiaryDays days;
    std::vector<GameTotal> games;
    for (std::int64_t day = kToday - 20 * 365; day <= kToday; ++day)
        days[day] = {90, 1, {{"SLUS-" + std::to_string(day % 5000), static_cast<std::int32_t>(1 + day % 60)}}};
    for (int game = 0; game < 5000; ++game) games.push_back({"SLUS-" + std::to_string(game), 1 + game % 60, "", "", "", {}});
    GameTotals totals;
    totals.Assign(std::move(games));
    const auto pairName = [](std::string_view id) { return "Game " + std::to_string(std::stoi(std::string(id.substr(5))) / 2); };
    const GameShares year = MakeGameShares(days, totals, {}, pairName, SharePeriod::Year, kToday - 1);
    EXPECT_EQ(year.minutes, 90 * 5);  // January's first five days
    const GameShares shares = MakeGameShares(days, totals, {200000, 9}, pairName, SharePeriod::AllTime, kToday);
    ASSERT_EQ(shares.rows.size(), 2500u + 1);
    // The Total less the games' 152,100 minutes: a disc's minutes lost would land here.
    EXPECT_EQ(shares.rows.front().name + " " + std::to_string(shares.rows.front().minutes), "No game identified 47900");
    EXPECT_TRUE(std::is_sorted(shares.rows.begin(), shares.rows.end(), [](auto& a, auto& b) { return a.minutes > b.minutes; }));
}

}  // namespace
}  // namespace kavri
